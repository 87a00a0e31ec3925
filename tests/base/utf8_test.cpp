#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace lw {
namespace {

TEST(Utf8, ValidPrefix) {
  const std::pair<std::string, size_t> cases[] = {
      {"", 0},
      {"plain ASCII", 11},
      {"온도 21.5°C", 14},
      {"\xF0\x9F\x98\x80", 4},   // U+1F600
      {"\xF4\x8F\xBF\xBF", 4},   // U+10FFFF
      {"\xF4\x90\x80\x80", 0},   // beyond U+10FFFF
      {"AB\xC3(", 2},            // lead byte without its trail
      {"A\xC0\x80", 1},          // overlong NUL
      {"A\xC1\xBF", 1},          // overlong of U+007F
      {"A\xE0\x9F\xBF", 1},      // overlong of U+07FF
      {"A\xF0\x8F\xBF\xBF", 1},  // overlong of U+FFFF
      {"A\xED\xA0\x80", 1},      // high surrogate
      {"A\xED\xBF\xBF", 1},      // low surrogate
      {"A\xED\x9F\xBF", 4},      // U+D7FF, just below the surrogates
      {"A\xE2\x82", 1},          // cut short at the end
      {"A\xF0\x9F\x98", 1},
      {"A\x80", 1},  // lone trail byte
      {"A\xFF", 1},
      {"\xE2\x82\xAC\xE2\x82", 3},  // € then a cut-short sequence
      {std::string("A\0B", 3), 3},  // NUL is valid
  };
  for (const auto& [s, want] : cases) {
    EXPECT_EQ(valid_utf8_prefix(s), want) << testing::PrintToString(s);
    EXPECT_EQ(is_valid_utf8(s), want == s.size()) << testing::PrintToString(s);
  }
}

TEST(Utf8, Conversions) {
  const std::u32string scalars = U"A\u00E9\u20AC\U0001F600\U0010FFFF";
  const std::string utf8 = utf8_from_utf32(scalars);
  EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
  EXPECT_EQ(utf32_from_utf8(utf8), scalars);
  const std::u16string utf16 = utf16_from_utf8(utf8);
  EXPECT_EQ(utf16, u"A\u00E9\u20AC\U0001F600\U0010FFFF");
  EXPECT_EQ(utf8_from_utf16(utf16), utf8);
  // Every bad byte becomes one U+FFFD; an unpaired surrogate does too.
  EXPECT_EQ(utf8_sanitize("a\xC3(\xFF"), "a\xEF\xBF\xBD(\xEF\xBF\xBD");
  EXPECT_EQ(utf32_from_utf8("\xE2\x82"), U"\uFFFD\uFFFD");
  EXPECT_EQ(utf8_from_utf16(std::u16string{u'a', char16_t{0xD800}, u'b'}),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(utf8_from_utf16(std::u16string{char16_t{0xDC00}}), "\xEF\xBF\xBD");
  EXPECT_EQ(utf8_from_utf32(std::u32string{char32_t{0xD800}, char32_t{0x110000}}),
            "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace lw
