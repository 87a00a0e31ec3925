#include "base/text_file.h"

#include <atomic>
#include <string>
#include <system_error>

#include "base/text_file_platform.h"

namespace lw {

namespace {

std::string utf8_path(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

Error with_path(const std::filesystem::path& p, Error e) {
  e.text = utf8_path(p) + ": " + e.text;
  return e;
}

// Unique within the process, and between processes by the process id.
std::filesystem::path temporary_beside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path tmp = path;
  tmp += "." + std::to_string(text_file_platform::process_id()) + "-" +
         std::to_string(counter.fetch_add(1) + 1) + ".tmp";
  return tmp;
}

}  // namespace

Status write_text_file(const std::filesystem::path& path, std::string_view text) {
  const std::filesystem::path folder = path.parent_path();
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail(with_path(folder, Error{ec.value(), ec.message()}));
  }
  const std::filesystem::path tmp = temporary_beside(path);
  if (Status s = text_file_platform::write_synced(tmp, {kUtf8Bom, text}); !s) {
    return fail(with_path(path, s.error()));
  }
  if (Status s = text_file_platform::replace(tmp, path); !s) {
    text_file_platform::remove_quietly(tmp);
    return fail(with_path(path, s.error()));
  }
  return {};
}

}  // namespace lw
