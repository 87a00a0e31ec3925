#include <windows.h>

#include <string>

#include "base/system_error.h"
#include "base/utf8.h"

namespace lw {

Error windows_error(unsigned long code, std::string_view what) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (n > 0 && buffer != nullptr) {
    text = utf8_from_utf16(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), n));
  }
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  if (text.empty()) text = "error " + std::to_string(code);
  if (!what.empty()) text = std::string(what) + ": " + text;
  return Error{static_cast<int>(code), std::move(text)};
}

Error last_windows_error(std::string_view what) { return windows_error(GetLastError(), what); }

}  // namespace lw
