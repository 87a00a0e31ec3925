#include "files/log_folder.h"

#include <system_error>

#include "files/user_dirs.h"

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
