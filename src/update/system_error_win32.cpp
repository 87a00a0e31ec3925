#include "update/system_error_win32.h"

#include <string>

#include "base/utf8.h"

namespace lw {

Error windows_error(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (n > 0 && buffer != nullptr) text.assign(buffer, buffer + n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
  std::string out = utf8_from_utf16(text);
  if (out.empty()) out = "Error " + std::to_string(code);
  return Error{static_cast<int>(code), std::move(out)};
}

}  // namespace lw
