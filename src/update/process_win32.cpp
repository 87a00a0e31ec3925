#include <windows.h>

#include <string>
#include <vector>

#include "base/system_error.h"
#include "base/utf8.h"
#include "base/utf8_path.h"
#include "update/download.h"
#include "update/process.h"

namespace lw {

Status start_program(const std::filesystem::path& program, std::span<const std::string_view> args) {
  const std::filesystem::path preferred = std::filesystem::path(program).make_preferred();
  const std::wstring application = preferred.wstring();
  const std::vector<std::string> arg_list(args.begin(), args.end());
  const std::u16string line =
      utf16_from_utf8(windows_command_line(utf8_from_path(preferred), arg_list));
  std::wstring command(line.begin(), line.end());

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    return fail(windows_error(GetLastError()));
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return {};
}

}  // namespace lw
