#include "base/text_file.h"

#include <atomic>
#include <string>
#include <system_error>

#include "base/text_file_platform.h"
#include "base/utf8_path.h"

namespace lw {

namespace {

Error with_path(const std::filesystem::path& p, Error e) {
  e.text = utf8_from_path(p) + ": " + e.text;
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

Status replace_file(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> parts, FileAccess access) {
  const std::filesystem::path tmp = temporary_beside(path);
  if (Status s = text_file_platform::write_synced(tmp, parts, access); !s) {
    return fail(with_path(path, s.error()));
  }
  if (Status s = text_file_platform::replace(tmp, path); !s) {
    text_file_platform::remove_quietly(tmp);
    return fail(with_path(path, s.error()));
  }
  text_file_platform::sync_folder(path.parent_path());
  return {};
}

Status write_text_file(const std::filesystem::path& path, std::string_view text) {
  const std::filesystem::path folder = path.parent_path();
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail(with_path(folder, Error{ec.value(), ec.message()}));
  }
  return replace_file(path, {kUtf8Bom, text});
}

}  // namespace lw
