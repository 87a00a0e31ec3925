// The checks a frame may end with, against the catalogue's check values (the
// CRC of the nine bytes "123456789"), and frames under each framing.
#include "log/checksum.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/display.h"

namespace lw {
namespace {

constexpr std::string_view kCheckInput = "123456789";

std::span<const uint8_t> span_of(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(Checksum, CatalogueCheckValues) {
  EXPECT_EQ(crc8(span_of(kCheckInput)), 0xF4);
  EXPECT_EQ(crc16_modbus(span_of(kCheckInput)), 0x4B37);
  EXPECT_EQ(crc16_ccitt_false(span_of(kCheckInput)), 0x29B1);
  EXPECT_EQ(crc32_ieee(span_of(kCheckInput)), 0xCBF43926u);
  // Nothing at all: the initial value through the final step.
  EXPECT_EQ(crc8({}), 0x00);
  EXPECT_EQ(crc16_modbus({}), 0xFFFF);
  EXPECT_EQ(crc16_ccitt_false({}), 0xFFFF);
  EXPECT_EQ(crc32_ieee({}), 0u);
}

LineRecord frame(std::string_view bytes, LineEnding ending = LineEnding::None) {
  return LineRecord{Bytes(bytes), 0, ending, Direction::Received};
}

TEST(Checksum, FramesEndingInTheirCheckAreGoodAndCorruptedOnesBad) {
  using C = ChecksumKind;
  using V = FrameVerdict;
  const std::string data(kCheckInput);
  struct Case {
    C kind;
    std::string check;    // as the device sends it
    std::string swapped;  // the same value in the other byte order
  };
  const std::vector<Case> cases = {
      {C::Crc8, "\xF4", ""},
      {C::Crc16Modbus, "\x37\x4B", "\x4B\x37"},  // low byte first
      {C::Crc16Ccitt, "\x29\xB1", "\xB1\x29"},   // high byte first
      {C::Crc32, "\x26\x39\xF4\xCB", "\xCB\xF4\x39\x26"},
  };
  for (const Case& c : cases) {
    const std::string good = data + c.check;
    const FrameSpec framing{static_cast<uint32_t>(good.size()), c.kind, uint8_t{'1'}};
    SCOPED_TRACE(frame_spec_text(framing));
    EXPECT_EQ(frame_verdict(frame(good), framing), V::Good);

    // One bit flipped anywhere, data or check, is caught.
    for (size_t i = 0; i < good.size(); ++i) {
      for (int bit = 0; bit < 8; ++bit) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ (1 << bit));
        ASSERT_EQ(frame_verdict(frame(bad), framing), V::Bad) << "byte " << i << " bit " << bit;
      }
    }
    if (!c.swapped.empty()) {
      EXPECT_EQ(frame_verdict(frame(data + c.swapped), framing), V::Bad);
    }
    // Cut short by the idle flush, or one byte too long.
    EXPECT_EQ(frame_verdict(frame(good.substr(0, good.size() - 1)), framing), V::Bad);
    EXPECT_EQ(frame_verdict(frame(good + std::string(1, '\0')), framing), V::Bad);
    // Only received frames are judged.
    EXPECT_EQ(frame_verdict(frame(good, LineEnding::CrLf), framing), V::None);
  }
}

TEST(Checksum, FrameSpecTextsForTheCrcs) {
  using C = ChecksumKind;
  struct Case {
    const char* text;
    FrameSpec framing;
  };
  const std::vector<Case> accepted = {
      {"AA 8 crc16modbus", {8, C::Crc16Modbus, 0xAA}},
      {"AA 8 CRC-16/MODBUS", {8, C::Crc16Modbus, 0xAA}},
      {"crc8 aa 4", {4, C::Crc8, 0xAA}},
      {"10 crc16ccitt", {10, C::Crc16Ccitt, std::nullopt}},
      {"10 CRC-16/CCITT-FALSE", {10, C::Crc16Ccitt, std::nullopt}},
      {"AA 13 crc32", {13, C::Crc32, 0xAA}},
      {"5 crc_32", {5, C::Crc32, std::nullopt}},
      {"AA 8 crc32 sum", {8, C::Sum, 0xAA}},  // the later keyword wins
  };
  for (const Case& c : accepted) {
    const Result<FrameSpec> r = parse_frame_spec(c.text);
    ASSERT_TRUE(r.ok()) << c.text;
    EXPECT_EQ(*r, c.framing) << c.text;
    const Result<FrameSpec> again = parse_frame_spec(frame_spec_text(*r));
    ASSERT_TRUE(again.ok()) << frame_spec_text(*r);
    EXPECT_EQ(*again, *r);
  }
  EXPECT_EQ(frame_spec_text({8, C::Crc16Modbus, 0xAA}), "AA 8 crc16modbus");
  EXPECT_EQ(frame_spec_text({5, C::Crc32, std::nullopt}), "5 crc32");

  // No room for anything but the check, or a CRC that is not offered.
  for (const char* text : {"AA 2 crc16modbus", "4 crc32", "AA 8 crc16", "AA 8 crc", "8 crc64"}) {
    EXPECT_FALSE(parse_frame_spec(text).ok()) << text;
  }
}

}  // namespace
}  // namespace lw
