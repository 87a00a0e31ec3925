#include <system_error>

#include "update/work_files.h"

namespace lw {

std::string work_folder_name() { return std::string(kWorkFolderName); }

// The user's temporary folder is already the user's alone.
Status ensure_private_folder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return fail(Error{ec.value(), ec.message()});
  return {};
}

}  // namespace lw
