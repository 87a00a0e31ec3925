#include <windows.h>

#include "base/cp949_platform.h"

namespace lw::cp949_platform {

size_t convert_pair(uint8_t a, uint8_t b, char32_t (&out)[4]) {
  const char in[2] = {static_cast<char>(a), static_cast<char>(b)};
  wchar_t units[4];
  const int n = MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, in, 2, units, 4);
  if (n <= 0) return 0;
  for (int i = 0; i < n; ++i) out[i] = static_cast<char32_t>(units[i]);
  return static_cast<size_t>(n);
}

}  // namespace lw::cp949_platform
