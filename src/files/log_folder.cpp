#include "files/log_folder.h"

#include <cstdlib>
#include <system_error>

#include "files/user_dirs.h"
#include "files/utf8_path.h"

namespace lw {

std::filesystem::path choose_log_folder(const std::optional<std::filesystem::path>& docs_option,
                                        const std::optional<std::filesystem::path>& documents,
                                        const std::filesystem::path& temp) {
  if (docs_option) return *docs_option;
  if (documents && !documents->empty()) return *documents / "Linewick";
  return temp / "Linewick";
}

std::filesystem::path log_folder(const std::optional<std::filesystem::path>& docs_option) {
  if (docs_option) return *docs_option;
  std::error_code ec;
  std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) temp = std::filesystem::path(".");
  return choose_log_folder(std::nullopt, documents_folder(), temp);
}

std::string folder_as_shown(const std::filesystem::path& folder,
                            const std::optional<std::filesystem::path>& home) {
  std::filesystem::path f = folder.lexically_normal();
  if (!f.has_filename() && f.has_relative_path()) f = f.parent_path();  // a trailing "/"
  if (home && !home->empty() && f.is_absolute()) {
    const std::filesystem::path rel = f.lexically_relative(home->lexically_normal());
    if (!rel.empty() && *rel.begin() != "..") {
      const std::u8string generic = rel.generic_u8string();
      const std::string inside(generic.begin(), generic.end());
      return inside == "." ? std::string("~") : "~/" + inside;
    }
  }
  return utf8_from_path(f);
}

std::string folder_as_shown(const std::filesystem::path& folder) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return folder_as_shown(folder, std::nullopt);
  return folder_as_shown(folder, path_from_utf8(home));
}

Status ensure_folder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return fail(Error{ec.value(), ec.message()});
  if (!std::filesystem::is_directory(folder, ec)) {
    return fail(Error{0, "not a folder: " + folder.string()});
  }
  return {};
}

}  // namespace lw
