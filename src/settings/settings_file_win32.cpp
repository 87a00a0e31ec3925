// The settings file on Windows exists for the tests only (the program keeps
// its settings in the registry), so that one store logic runs on both.
#include <windows.h>

#include "settings/settings_file_io.h"

namespace lw {

namespace fs = std::filesystem;

std::optional<FileStamp> file_stamp(const fs::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | static_cast<uint64_t>(low);
  };
  return FileStamp{join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime),
                   join(data.nFileSizeHigh, data.nFileSizeLow),
                   join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

}  // namespace lw
