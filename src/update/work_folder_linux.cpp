#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "update/work_files.h"

namespace lw {

std::string work_folder_name() {
  return std::string(kWorkFolderName) + "-" + std::to_string(getuid());
}

Status make_private(const std::filesystem::path& folder) {
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) {
    return fail(Error{errno, std::generic_category().message(errno)});
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
    const int code = static_cast<int>(std::errc::permission_denied);
    return fail(Error{code, folder.string() + ": " + std::generic_category().message(code)});
  }
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 &&
      chmod(folder.c_str(), st.st_mode & ~static_cast<mode_t>(S_IWGRP | S_IWOTH) & 07777) != 0) {
    return fail(Error{errno, std::generic_category().message(errno)});
  }
  return {};
}

}  // namespace lw
