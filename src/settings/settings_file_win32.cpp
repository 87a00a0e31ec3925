// The settings file on Windows exists for the tests only (the program keeps
// its settings in the registry), so that one store logic runs on both.
#include <windows.h>

#include "settings/settings_file_io.h"

namespace lw {

namespace fs = std::filesystem;

namespace {

Error last_error(std::string_view what) {
  return Error{static_cast<int>(GetLastError()), std::string(what)};
}

}  // namespace

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

Status replace_file(const fs::path& target, std::string_view bytes) {
  fs::path temp = target;
  temp += ".tmp-" + std::to_string(GetCurrentProcessId());
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(last_error("create"));
  bool ok = true;
  while (ok && !bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    ok = WriteFile(h, bytes.data(), chunk, &written, nullptr) && written > 0;
    if (ok) bytes.remove_prefix(written);
  }
  ok = ok && FlushFileBuffers(h);
  Error error = ok ? Error{} : last_error("write");
  CloseHandle(h);
  if (ok && MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return {};
  }
  if (ok) error = last_error("replace");
  DeleteFileW(temp.c_str());
  return fail(std::move(error));
}

}  // namespace lw
