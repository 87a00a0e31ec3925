// The system's own curl program does the transfer; the program itself opens
// no network connection.
#include <windows.h>

#include <string>

#include "base/utf8.h"
#include "files/utf8_path.h"
#include "update/download.h"
#include "update/system_error_win32.h"
#include "update/update_texts.h"

namespace lw {

namespace {

std::wstring wide(std::string_view utf8) {
  const std::u16string w = utf16_from_utf8(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string system_root() {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"SystemRoot", buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return utf8_from_utf16(std::u16string(buffer, buffer + n));
}

}  // namespace

Status download_file(const std::string& url, const std::filesystem::path& output) {
  const std::string program = curl_program_path(system_root());
  const std::string output_text = utf8_from_path(std::filesystem::path(output).make_preferred());
  const std::wstring application = wide(program);
  std::wstring command = wide(windows_command_line(program, curl_arguments(output_text, url)));

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return fail(windows_error(GetLastError()));
  }
  CloseHandle(pi.hThread);
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD exit_code = 1;
  const BOOL got_code = GetExitCodeProcess(pi.hProcess, &exit_code);
  CloseHandle(pi.hProcess);
  if (!got_code || exit_code != 0) return fail(Error{0, download_failed_text()});
  return {};
}

}  // namespace lw
