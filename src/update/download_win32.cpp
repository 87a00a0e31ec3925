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

bool longer_than(const std::wstring& file, uint64_t limit) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return false;
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return size > limit;
}

// How often a running curl's output is measured: curl before 8.4 applies
// --max-filesize only to an announced length, not to a stream.
constexpr DWORD kSizeWatchMs = 100;

}  // namespace

Status download_file(const std::string& url, const std::filesystem::path& output,
                     uint64_t max_bytes) {
  const std::string program = curl_program_path(system_root());
  const std::filesystem::path preferred = std::filesystem::path(output).make_preferred();
  const std::string output_text = utf8_from_path(preferred);
  const std::wstring output_wide = preferred.wstring();
  const std::wstring application = wide(program);
  std::wstring command =
      wide(windows_command_line(program, curl_arguments(output_text, url, max_bytes)));

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return fail(windows_error(GetLastError()));
  }
  CloseHandle(pi.hThread);
  bool too_long = false;
  while (WaitForSingleObject(pi.hProcess, kSizeWatchMs) == WAIT_TIMEOUT) {
    if (longer_than(output_wide, max_bytes)) {
      too_long = true;
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, INFINITE);
      break;
    }
  }
  DWORD exit_code = 1;
  const BOOL got_code = GetExitCodeProcess(pi.hProcess, &exit_code);
  CloseHandle(pi.hProcess);
  if (too_long || !got_code || exit_code != 0) return fail(Error{0, download_failed_text()});
  return {};
}

}  // namespace lw
