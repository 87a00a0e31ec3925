#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "lab/new_file.h"

namespace lw {

namespace {
Error errno_error(const char* what, int code) {
  return Error{code, std::string(what) + ": " + std::strerror(code)};
}
}  // namespace

Result<NewFile, NewFileError> NewFile::create(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int code = errno;
    return fail(NewFileError{code == EEXIST, errno_error("open", code)});
  }
  NewFile f;
  f.handle_ = fd;
  return f;
}

Status NewFile::write(std::string_view data) {
  const int fd = static_cast<int>(handle_);
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno_error("write", errno));
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return {};
}

void NewFile::close() {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

}  // namespace lw
