// Windows shows who holds a port to nobody, and that it is held only to an
// open: the look opens it without touching its settings and closes it again.
#include <windows.h>

#include <string>

#include "base/utf8.h"
#include "serial/serial_port.h"

namespace lw {

PortLook look_at_port(const std::string& name, const LockPlaces&,
                      const std::optional<PortHolder>&) {
  const std::string device = name.starts_with("\\\\.\\") ? name : "\\\\.\\" + name;
  const std::u16string units = utf16_from_utf8(device);
  const std::wstring path(units.begin(), units.end());
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return {PortLook::Use::Free, {}, true};
  }
  switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return {PortLook::Use::Held, {}, true};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {PortLook::Use::Missing, {}, true};
    default:
      // Anything else is the open's to report.
      return {PortLook::Use::Free, {}, true};
  }
}

}  // namespace lw
