#include "serial/port_locks.h"

#include <cstring>

namespace lw {

std::string uucp_lock_name(std::string_view device_path) {
  const size_t slash = device_path.rfind('/');
  if (slash != std::string_view::npos) device_path.remove_prefix(slash + 1);
  return "LCK.." + std::string(device_path);
}

std::string uucp_lock_text(int64_t pid) {
  std::string digits = std::to_string(pid);
  if (digits.size() < 10) digits.insert(0, 10 - digits.size(), ' ');
  return digits + "\n";
}

std::optional<int64_t> uucp_lock_pid(std::string_view content) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  std::string_view t = content;
  while (!t.empty() && blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && blank(t.back())) t.remove_suffix(1);
  if (!t.empty() && t.size() <= 10 && t.find_first_not_of("0123456789") == std::string_view::npos) {
    const int64_t pid = std::stoll(std::string(t));
    if (pid > 0) return pid;
    return std::nullopt;
  }
  if (content.size() == 4) {
    // Old programs wrote the id as a native int.
    int32_t pid = 0;
    std::memcpy(&pid, content.data(), sizeof pid);
    if (pid > 0) return pid;
  }
  return std::nullopt;
}

std::string program_name(std::string_view comm) {
  const size_t end = comm.find('\n');
  return std::string(comm.substr(0, end));
}

}  // namespace lw
