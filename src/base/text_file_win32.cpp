#include <windows.h>

#include <string>

#include "base/system_error.h"
#include "base/text_file_platform.h"

namespace lw::text_file_platform {

namespace {

bool write_all(HANDLE h, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk = data.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!WriteFile(h, data.data(), chunk, &written, nullptr)) return false;
    data.remove_prefix(written);
  }
  return true;
}

}  // namespace

Status write_synced(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> parts, FileAccess) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(windows_error(GetLastError()));
  bool ok = true;
  for (std::string_view part : parts) {
    ok = write_all(h, part);
    if (!ok) break;
  }
  // Flushed before the rename, so the new name never points at missing data.
  if (ok) ok = FlushFileBuffers(h) != 0;
  const DWORD code = GetLastError();
  const bool closed = CloseHandle(h) != 0;
  if (ok && closed) return {};
  const Error e = windows_error(ok ? GetLastError() : code);
  DeleteFileW(path.c_str());
  return fail(e);
}

Status replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(windows_error(GetLastError()));
  }
  return {};
}

void remove_quietly(const std::filesystem::path& path) { DeleteFileW(path.c_str()); }

// MOVEFILE_WRITE_THROUGH has already made the rename last.
void sync_folder(const std::filesystem::path&) {}

unsigned long process_id() { return GetCurrentProcessId(); }

}  // namespace lw::text_file_platform
