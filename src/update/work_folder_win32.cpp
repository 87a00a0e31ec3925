#include "update/work_files.h"

namespace lw {

std::string work_folder_name() { return std::string(kWorkFolderName); }

// The user's temporary folder is already the user's alone.
Status make_private(const std::filesystem::path&) { return {}; }

}  // namespace lw
