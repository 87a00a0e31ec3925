#include "base/cp949.h"

#include "base/cp949_platform.h"

namespace lw {

std::optional<char32_t> cp949_pair(uint8_t a, uint8_t b) {
  // Only lead bytes 81..FE with trail bytes 41..FE can form a two-byte
  // character; checking here keeps both systems' answers alike.
  if (a < 0x81 || a > 0xFE || b < 0x41 || b > 0xFE) return std::nullopt;
  char32_t out[4];
  if (cp949_platform::convert_pair(a, b, out) != 1) return std::nullopt;
  const char32_t c = out[0];
  // Converters stand in U+FFFD for bytes they can't map.
  if (c == 0xFFFD || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
  return c;
}

}  // namespace lw
