#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/system_error.h"
#include "files/append_file.h"

namespace lw {

namespace {
Error last_error(const char* what) { return errno_error(errno, what); }
}  // namespace

Result<AppendFile> AppendFile::open(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return fail(last_error("open"));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    Error e = last_error("stat");
    ::close(fd);
    return fail(std::move(e));
  }
  AppendFile f;
  f.handle_ = fd;
  f.initial_size_ = static_cast<uint64_t>(st.st_size);
  return f;
}

Result<AppendFile, CreateNewError> AppendFile::create_new(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    const bool exists = errno == EEXIST;
    return fail(CreateNewError{exists, last_error("open")});
  }
  AppendFile f;
  f.handle_ = fd;
  return f;
}

Status AppendFile::write(std::string_view data, size_t* written) {
  const int fd = static_cast<int>(handle_);
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Error e = last_error("write");
      if (written) *written = done;
      return fail(std::move(e));
    }
    done += static_cast<size_t>(n);
  }
  if (written) *written = done;
  return {};
}

void AppendFile::close() {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

}  // namespace lw
