#include <windows.h>

#include "base/system_error.h"
#include "files/append_file.h"

namespace lw {

namespace {
HANDLE as_handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

Result<AppendFile> AppendFile::open(const std::filesystem::path& path) {
  HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail(last_windows_error("CreateFileW"));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) {
    Error e = last_windows_error("GetFileSizeEx");
    CloseHandle(h);
    return fail(std::move(e));
  }
  AppendFile f;
  f.handle_ = reinterpret_cast<intptr_t>(h);
  f.initial_size_ = static_cast<uint64_t>(size.QuadPart);
  return f;
}

Result<AppendFile, CreateNewError> AppendFile::create_new(const std::filesystem::path& path) {
  HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    Error e = last_windows_error("CreateFileW");
    return fail(CreateNewError{code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS, e});
  }
  AppendFile f;
  f.handle_ = reinterpret_cast<intptr_t>(h);
  return f;
}

Status AppendFile::write(std::string_view data, size_t* written) {
  size_t total = 0;
  Status result;
  while (total < data.size()) {
    const size_t left = data.size() - total;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD done = 0;
    const BOOL ok = WriteFile(as_handle(handle_), data.data() + total, chunk, &done, nullptr);
    total += done;
    if (!ok) {
      result = fail(last_windows_error("WriteFile"));
      break;
    }
    if (done == 0) {
      result = fail(Error{0, "WriteFile wrote nothing"});
      break;
    }
  }
  if (written) *written = total;
  return result;
}

void AppendFile::close() {
  if (handle_ == kNone) return;
  CloseHandle(as_handle(handle_));
  handle_ = kNone;
}

}  // namespace lw
