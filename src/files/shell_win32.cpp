#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>

#include "base/system_error.h"
#include "base/utf8.h"
#include "base/utf8_path.h"
#include "files/shell.h"

namespace lw {

Status open_file(const std::filesystem::path& path) {
  const std::wstring p = std::filesystem::path(path).make_preferred().wstring();
  const HINSTANCE r = ShellExecuteW(nullptr, L"open", p.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Values up to 32 are error codes.
  const auto code = reinterpret_cast<INT_PTR>(r);
  if (code <= 32) return fail(windows_error(static_cast<DWORD>(code), "ShellExecuteW"));
  return {};
}

Status open_folder(const std::filesystem::path& file) {
  const std::string arg =
      explorer_select_argument(utf8_from_path(std::filesystem::path(file).make_preferred()));
  const std::u16string wide = utf16_from_utf8("explorer " + arg);
  std::wstring command(wide.begin(), wide.end());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return fail(windows_error(GetLastError(), "CreateProcessW"));
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return {};
}

}  // namespace lw
