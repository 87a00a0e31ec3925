#include "update/fresh_file_linux.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "files/utf8_path.h"

namespace lw {

namespace {
Error errno_error(int code, const std::filesystem::path& file) {
  return Error{code,
               utf8_from_path(file.filename()) + ": " + std::generic_category().message(code)};
}
}  // namespace

Result<int> create_fresh_file(const std::filesystem::path& file) {
  if (unlink(file.c_str()) != 0 && errno != ENOENT) return fail(errno_error(errno, file));
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return fail(errno_error(errno, file));
  return fd;
}

}  // namespace lw
