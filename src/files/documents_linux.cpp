#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/log_folder.h"
#include "files/user_dirs.h"

namespace lw {

std::optional<std::filesystem::path> documents_folder() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  const std::filesystem::path home_dir(home);
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::filesystem::path config_dir =
      config != nullptr && *config == '/' ? std::filesystem::path(config) : home_dir / ".config";
  std::ifstream in(config_dir / "user-dirs.dirs", std::ios::binary);
  if (in) {
    std::stringstream text;
    text << in.rdbuf();
    if (auto dir = xdg_documents_dir(text.str(), home_dir)) return dir;
  }
  // Without the file, the folder most desktops create anyway.
  std::error_code ec;
  std::filesystem::path fallback = home_dir / "Documents";
  if (std::filesystem::is_directory(fallback, ec)) return fallback;
  return std::nullopt;
}

}  // namespace lw
