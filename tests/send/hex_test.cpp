#include "send/hex.h"

#include <gtest/gtest.h>

#include <vector>

namespace lw {
namespace {

std::vector<uint8_t> bytes_of(const Bytes& b) { return {b.data(), b.data() + b.size()}; }

TEST(ParseHexBytes, Accepted) {
  struct Case {
    const char* text;
    std::vector<uint8_t> want;
  } cases[] = {
      {"48 65 0D 0A", {0x48, 0x65, 0x0D, 0x0A}},
      {"0x48,0x65", {0x48, 0x65}},
      {"48-65", {0x48, 0x65}},
      {"48:65", {0x48, 0x65}},
      {"48;65", {0x48, 0x65}},
      {"4865", {0x48, 0x65}},
      {"48656C", {0x48, 0x65, 0x6C}},
      {"F", {0x0F}},
      {"A", {0x0A}},
      {"0X4a 0xfF", {0x4A, 0xFF}},
      {"0x", {}},
      {"0x4", {0x04}},
      {"", {}},
      {" ,-:; ", {}},
      {"\t48\r\n65\v\f", {0x48, 0x65}},
      {",,48,,,65,,", {0x48, 0x65}},
  };
  for (const Case& c : cases) {
    Result<Bytes> r = parse_hex_bytes(c.text);
    ASSERT_TRUE(r.ok()) << c.text;
    EXPECT_EQ(bytes_of(*r), c.want) << c.text;
  }
}

TEST(ParseHexBytes, UnicodeWhiteSpaceSeparates) {
  const char* separators[] = {
      "\xC2\x85",      // U+0085
      "\xC2\xA0",      // U+00A0
      "\xE1\x9A\x80",  // U+1680
      "\xE2\x80\x80",  // U+2000
      "\xE2\x80\x8A",  // U+200A
      "\xE2\x80\xA8",  // U+2028
      "\xE2\x80\xA9",  // U+2029
      "\xE2\x80\xAF",  // U+202F
      "\xE2\x81\x9F",  // U+205F
      "\xE3\x80\x80",  // U+3000
  };
  for (const char* sep : separators) {
    Result<Bytes> r = parse_hex_bytes(std::string("48") + sep + "65");
    ASSERT_TRUE(r.ok()) << sep;
    EXPECT_EQ(bytes_of(*r), (std::vector<uint8_t>{0x48, 0x65}));
  }
  // Zero-width space is not white space: it is a wrong character.
  EXPECT_FALSE(parse_hex_bytes("48\xE2\x80\x8B"
                               "65")
                   .ok());
}

TEST(ParseHexBytes, Rejected) {
  const char* cases[] = {"486",
                         "4G",
                         "G",
                         "48 6G",
                         "0x486",
                         "0x0x48",
                         "48 65 zz",
                         "x",
                         "48_65",
                         "\xFF",
                         "\xEF\xBC\x94\xEF\xBC\x98"};  // fullwidth 48
  for (const char* text : cases) {
    Result<Bytes> r = parse_hex_bytes(text);
    ASSERT_FALSE(r.ok()) << text;
    EXPECT_EQ(r.error().text, "Couldn't read that as HEX. Example: 48 65 6C 0D 0A");
  }
}

}  // namespace
}  // namespace lw
