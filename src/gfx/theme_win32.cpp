#include <windows.h>

#include "gfx/theme.h"

namespace lw {

bool system_uses_dark_theme() {
  DWORD value = 1;
  DWORD size = sizeof value;
  const LSTATUS status = RegGetValueW(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size);
  return status == ERROR_SUCCESS && value == 0;
}

}  // namespace lw
