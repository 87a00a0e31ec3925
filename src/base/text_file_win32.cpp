#include <windows.h>

#include <string>

#include "base/text_file_platform.h"
#include "base/utf8.h"

namespace lw::text_file_platform {

namespace {

Error system_error(DWORD code) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text;
  if (n > 0 && buf != nullptr) {
    text = utf8_from_utf16(std::u16string_view(reinterpret_cast<const char16_t*>(buf), n));
  }
  if (buf != nullptr) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "error " + std::to_string(code);
  return Error{static_cast<int>(code), text};
}

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
                    std::initializer_list<std::string_view> parts) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(system_error(GetLastError()));
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
  const Error e = system_error(ok ? GetLastError() : code);
  DeleteFileW(path.c_str());
  return fail(e);
}

Status replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(system_error(GetLastError()));
  }
  return {};
}

void remove_quietly(const std::filesystem::path& path) { DeleteFileW(path.c_str()); }

unsigned long process_id() { return GetCurrentProcessId(); }

}  // namespace lw::text_file_platform
