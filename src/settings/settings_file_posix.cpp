#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "settings/settings_file.h"
#include "settings/settings_file_io.h"

namespace lw {

namespace fs = std::filesystem;

namespace {

Error errno_error(std::string_view what) {
  const int code = errno;
  return Error{code, std::string(what) + ": " + std::strerror(code)};
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void sync_folder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<FileStamp> file_stamp(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  // The inode changes with every replacement; size and time catch the rest.
  return FileStamp{static_cast<uint64_t>(st.st_ino) ^ (static_cast<uint64_t>(st.st_dev) << 40),
                   static_cast<uint64_t>(st.st_size),
                   static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                       static_cast<uint64_t>(st.st_mtim.tv_nsec)};
}

Status replace_file(const fs::path& target, std::string_view bytes) {
  fs::path temp = target;
  temp += ".tmp-" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return fail(errno_error("create"));
  if (!write_all(fd, bytes) || ::fsync(fd) != 0) {
    Error error = errno_error("write");
    ::close(fd);
    ::unlink(temp.c_str());
    return fail(std::move(error));
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
    Error error = errno_error("replace");
    ::unlink(temp.c_str());
    return fail(std::move(error));
  }
  sync_folder(target.parent_path());
  return {};
}

fs::path default_settings_folder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
    return fs::path(config) / "Linewick";
  }
  const char* home = std::getenv("HOME");
  if (!home || home[0] == '\0') {
    const passwd* pw = ::getpwuid(::getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  if (!home || home[0] == '\0') return {};
  return fs::path(home) / ".config" / "Linewick";
}

std::unique_ptr<Settings> open_user_settings() {
  return std::make_unique<FileSettings>(default_settings_folder());
}

}  // namespace lw
