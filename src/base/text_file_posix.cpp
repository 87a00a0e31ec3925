#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "base/system_error.h"
#include "base/text_file_platform.h"

namespace lw::text_file_platform {

namespace {

bool write_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

Status write_synced(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> parts, FileAccess access) {
  const mode_t mode = access == FileAccess::Owner ? 0600 : 0666;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return fail(errno_error(errno));
  bool ok = true;
  for (std::string_view part : parts) {
    ok = write_all(fd, part);
    if (!ok) break;
  }
  // Flushed before the rename, so the new name never points at missing data.
  if (ok) ok = ::fsync(fd) == 0;
  const int code = errno;
  const bool closed = ::close(fd) == 0;
  if (ok && closed) return {};
  const Error e = errno_error(ok ? errno : code);
  ::unlink(path.c_str());
  return fail(e);
}

Status replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return fail(errno_error(errno));
  return {};
}

void remove_quietly(const std::filesystem::path& path) { ::unlink(path.c_str()); }

void sync_folder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

unsigned long process_id() { return static_cast<unsigned long>(::getpid()); }

}  // namespace lw::text_file_platform
