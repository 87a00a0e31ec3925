#include "serial/device_file_posix.h"

#include <sys/stat.h>

#include <cerrno>

namespace lw {

std::optional<OpenFailure> device_file_failure(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    switch (errno) {
      case ENOENT:
      case ENOTDIR:
      case ELOOP:
        return OpenFailure::Missing;
      case EACCES:
        return OpenFailure::Denied;  // a folder on the way is closed to the account
      default:
        return std::nullopt;
    }
  }
  if (!S_ISCHR(st.st_mode)) return OpenFailure::NotSerial;
  return std::nullopt;
}

}  // namespace lw
