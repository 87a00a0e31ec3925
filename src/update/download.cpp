#include "update/download.h"

namespace lw {

std::string curl_program_path(std::string_view system_root) {
  std::string root = system_root.empty() ? std::string("C:\\Windows") : std::string(system_root);
  if (root.back() != '\\' && root.back() != '/') root += '\\';
  return root + "System32\\curl.exe";
}

std::vector<std::string> curl_arguments(std::string_view output, std::string_view url,
                                        uint64_t max_bytes) {
  return {"--disable",
          "-fsSL",
          "--proto",
          "=https",
          "--max-time",
          std::to_string(kDownloadTimeLimitSeconds),
          "--max-redirs",
          std::to_string(kMaxRedirects),
          "--max-filesize",
          std::to_string(max_bytes),
          "-o",
          std::string(output),
          "--",
          std::string(url)};
}

namespace {

// Backslashes count only before a quote: 2n before a quote give n and the
// quote ends the argument, 2n + 1 give n and a literal quote.
void append_quoted(std::string& out, std::string_view arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    out += arg;
    return;
  }
  out += '"';
  size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
}

}  // namespace

std::string windows_command_line(std::string_view program, const std::vector<std::string>& args) {
  // The program name is split by simpler rules (no escapes), so it is
  // always quoted; a path can't contain a quote.
  std::string out = "\"";
  out += program;
  out += '"';
  for (const std::string& a : args) {
    out += ' ';
    append_quoted(out, a);
  }
  return out;
}

}  // namespace lw
