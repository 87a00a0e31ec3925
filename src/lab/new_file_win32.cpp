#include <windows.h>

#include <string>

#include "lab/new_file.h"

namespace lw {

namespace {
Error last_error(const char* what) {
  const DWORD code = GetLastError();
  return Error{static_cast<int>(code), std::string(what) + ": error " + std::to_string(code)};
}
HANDLE as_handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

Result<NewFile, NewFileError> NewFile::create(const std::filesystem::path& path) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    Error e = last_error("CreateFileW");
    return fail(NewFileError{code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS, e});
  }
  NewFile f;
  f.handle_ = reinterpret_cast<intptr_t>(h);
  return f;
}

Status NewFile::write(std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk = data.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!WriteFile(as_handle(handle_), data.data(), chunk, &written, nullptr)) {
      return fail(last_error("WriteFile"));
    }
    data.remove_prefix(written);
  }
  return {};
}

void NewFile::close() {
  if (handle_ == kNone) return;
  CloseHandle(as_handle(handle_));
  handle_ = kNone;
}

}  // namespace lw
