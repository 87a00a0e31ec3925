#include "base/unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace lw::unicode {
namespace {

struct PropertyCase {
  char32_t c;
  bool alphabetic;
  bool numeric;
  bool white_space;
};

TEST(Unicode, Properties) {
  const PropertyCase cases[] = {
      {U'A', true, false, false},           {U'z', true, false, false},
      {U'@', false, false, false},          {U'[', false, false, false},
      {U'`', false, false, false},          {U'{', false, false, false},
      {U'0', false, true, false},           {U'9', false, true, false},
      {U' ', false, false, true},           {U'\t', false, false, true},
      {U'\r', false, false, true},          {U'\x1F', false, false, false},
      {U'_', false, false, false},          {U'ª', true, false, false},
      {U'µ', true, false, false},           {U'°', false, false, false},
      {U'²', false, true, false},           {U'½', false, true, false},
      {U'온', true, false, false},          {U'가', true, false, false},
      {U'힣', true, false, false},          {U'\uD7A4', false, false, false},
      {U'Ω', true, false, false},           {U'Σ', true, false, false},
      {U'\u2160', true, true, false},   // ROMAN NUMERAL ONE
      {U'\u0663', false, true, false},  // ARABIC-INDIC DIGIT THREE
      {U'三', true, true, false},       // a Han numeral from the Unihan data
      {U'\u0085', false, false, true},      {U'\u00A0', false, false, true},
      {U'\u1680', false, false, true},      {U'\u2000', false, false, true},
      {U'\u200A', false, false, true},      {U'\u200B', false, false, false},
      {U'\u2028', false, false, true},      {U'\u202F', false, false, true},
      {U'\u205F', false, false, true},      {U'\u3000', false, false, true},
      {U'\uFEFF', false, false, false},     {U'\U0001D400', true, false, false},
      {U'\U0001F600', false, false, false}, {U'\U0010FFFF', false, false, false},
  };
  for (const PropertyCase& t : cases) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<uint32_t>(t.c));
    EXPECT_EQ(is_alphabetic(t.c), t.alphabetic);
    EXPECT_EQ(is_numeric(t.c), t.numeric);
    EXPECT_EQ(is_white_space(t.c), t.white_space);
  }
}

TEST(Unicode, ToLower) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Hello, WORLD 123 @[`{", "hello, world 123 @[`{"},
      {"ΣΊΣΥΦΟΣ", "σίσυφοσ"},  // no final-sigma rule: the mapping is unconditional
      {"İstanbul", "i\u0307stanbul"},
      {"ÀÉÎÕÜ Ÿ", "àéîõü ÿ"},
      {"ĀĂĄ", "āăą"},        // alternating upper/lower pairs
      {"\u212A", "k"},       // KELVIN SIGN gets shorter
      {"\u023A", "\u2C65"},  // and this one longer
      {"ẞ", "ß"},
      {"\u2160\u216F", "\u2170\u217F"},
      {"ＡＢＣ", "ａｂｃ"},
      {"\U00010400", "\U00010428"},  // DESERET, outside the BMP
      {"온도 TEMP=21.5", "온도 temp=21.5"},
      {"ß ǅ", "ß ǆ"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(to_lower(in), want) << in;
}

TEST(Unicode, ToLowerKeepsInvalidBytes) {
  EXPECT_EQ(to_lower("A\xC3(B"), "a\xC3(b");
  EXPECT_EQ(to_lower("\xB0\xA1Z"), "\xB0\xA1z");
  EXPECT_EQ(to_lower("\xFF\xFE"), "\xFF\xFE");
  EXPECT_EQ(to_lower("\xED\xA0\x80X"), "\xED\xA0\x80x");  // an encoded surrogate
  EXPECT_EQ(to_lower("\xC0\x80"), "\xC0\x80");            // overlong NUL
  EXPECT_EQ(to_lower("Ä\xE2\x82"), "ä\xE2\x82");          // cut short at the end
  EXPECT_EQ(to_lower(std::string("A\0B", 3)), std::string("a\0b", 3));
}

TEST(Unicode, AppendLower) {
  std::string out = "x";
  append_lower(out, U'A');
  append_lower(out, U'İ');
  append_lower(out, U'한');
  append_lower(out, U'Σ');
  EXPECT_EQ(out, "xai\u0307한σ");
}

}  // namespace
}  // namespace lw::unicode
