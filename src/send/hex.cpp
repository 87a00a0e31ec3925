#include "send/hex.h"

#include <vector>

#include "base/ascii.h"
#include "base/unicode.h"
#include "base/utf8.h"
#include "lang/tr.h"

namespace lw {

namespace {

bool is_separator(char32_t c) {
  return c == U',' || c == U'-' || c == U':' || c == U';' || unicode::is_white_space(c);
}

bool add_token(std::u32string_view token, std::vector<uint8_t>& out) {
  if (token.size() >= 2 && token[0] == U'0' && (token[1] == U'x' || token[1] == U'X')) {
    token.remove_prefix(2);
  }
  if (token.empty()) return true;
  if (token.size() == 1) {
    const int d = hex_digit_value(token[0]);
    if (d < 0) return false;
    out.push_back(static_cast<uint8_t>(d));
    return true;
  }
  if (token.size() % 2 != 0) return false;
  for (size_t i = 0; i < token.size(); i += 2) {
    const int hi = hex_digit_value(token[i]);
    const int lo = hex_digit_value(token[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return true;
}

}  // namespace

std::string hex_error_text() {
  return tr("HEX로 읽을 수 없습니다. 예: 48 65 6C 0D 0A",
            "Couldn't read that as HEX. Example: 48 65 6C 0D 0A");
}

Result<Bytes> parse_hex_bytes(std::string_view text) {
  // Invalid UTF-8 becomes U+FFFD, which is not a hex digit.
  const std::u32string s = utf32_from_utf8(text);
  std::vector<uint8_t> out;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i < s.size() && !is_separator(s[i])) continue;
    if (!add_token(std::u32string_view(s).substr(start, i - start), out)) {
      return fail(Error{0, hex_error_text()});
    }
    start = i + 1;
  }
  return Bytes(std::span<const uint8_t>(out));
}

}  // namespace lw
