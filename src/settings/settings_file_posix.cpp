#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "settings/settings_file.h"
#include "settings/settings_file_io.h"

namespace lw {

namespace fs = std::filesystem;

std::optional<FileStamp> file_stamp(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  // The inode changes with every replacement; size and time catch the rest.
  return FileStamp{static_cast<uint64_t>(st.st_ino) ^ (static_cast<uint64_t>(st.st_dev) << 40),
                   static_cast<uint64_t>(st.st_size),
                   static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                       static_cast<uint64_t>(st.st_mtim.tv_nsec)};
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
