#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "files/utf8_path.h"
#include "update/work_files.h"

namespace lw {

namespace {
Error folder_error(int code, const std::filesystem::path& folder) {
  return Error{code, utf8_from_path(folder) + ": " + std::generic_category().message(code)};
}
}  // namespace

std::string work_folder_name() {
  return std::string(kWorkFolderName) + "-" + std::to_string(getuid());
}

Status ensure_private_folder(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), ec);
  if (ec) return fail(Error{ec.value(), ec.message()});
  // Made here with 0700 (the umask can only take away), never widened.
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return fail(folder_error(errno, folder));
  }
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) return fail(folder_error(errno, folder));
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return fail(folder_error(static_cast<int>(std::errc::permission_denied), folder));
  }
  if ((st.st_mode & 07777) != 0700 && chmod(folder.c_str(), 0700) != 0) {
    return fail(folder_error(errno, folder));
  }
  return {};
}

}  // namespace lw
