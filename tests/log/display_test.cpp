#include "log/display.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lw {
namespace {

LineRecord record(std::string_view bytes, LineEnding ending = LineEnding::None,
                  Direction direction = Direction::Received, Millis time = 0) {
  return LineRecord{Bytes(bytes), time, ending, direction};
}

std::span<const uint8_t> span_of(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(LineText, DecodesUtf8ThenCp949PairThenSingleBytes) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"\x41\x42\xC3\x28", "AB\u00C3("},  // C3 28 is not UTF-8 and 28 is no trail byte
      {"\xB0\xA1", "\uAC00"},
      {"\x81\x41", "\uAC02"},  // an extended Unified Hangul Code pair
      {"\x41\xB0\xA1\x42", "A\uAC00B"},
      {"\x81\x5B", "\u0081["},  // not a pair of the code page
      {"\xB0\x20", "\u00B0 "},  // a trail byte below 41
      {"\xFF", "\u00FF"},
      {"\x80", "\u0080"},
      {"\xE2\x82", "\u00E2\u0082"},  // cut-off sequence at the end
      {"h\xC3\xA9llo \xED\x95\x9C\xEA\xB8\x80", "héllo 한글"},
      {"\xC3\xA9\xFF\x41", "éÿA"},
      {std::string(20, 'a') + "\xFF", std::string(20, 'a') + "\u00FF"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(line_text(record(c.bytes), false), c.text) << c.text;
    EXPECT_EQ(decode_line_text(span_of(c.bytes)), c.text) << c.text;
  }
}

TEST(LineText, ControlCharactersBecomePicturesButTab) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"\x01\x09\x7F", "\u2401\t\u2421"},
      {std::string("\x00\x0D\x0A\x1B\x1F", 5), "\u2400\u240D\u240A\u241B\u241F"},
      // Long runs, with the controls at different places in 8-byte words.
      {"abcdefghij\x01klmnopq\x7Frstuvwxyz", "abcdefghij\u2401klmnopq\u2421rstuvwxyz"},
      {"a\tb\tc\td\te\tf\tg\th\ti", "a\tb\tc\td\te\tf\tg\th\ti"},
      {"\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x01",
       "\u2421\u2421\u2421\u2421\u2421\u2421\u2421\u2421\u2401"},
      {"0123456789ABCDEF~ !", "0123456789ABCDEF~ !"},
      {"\xC3\x28\x01", "\u00C3(\u2401"},
  };
  for (const Case& c : cases) EXPECT_EQ(line_text(record(c.bytes), false), c.text) << c.text;

  // The measurement pass keeps the control characters themselves.
  EXPECT_EQ(decode_line_text(span_of("\x01\x09\x7F"
                                     "A")),
            "\x01\x09\x7F"
            "A");
}

TEST(LineText, DecodeReplacesTheBufferItIsGiven) {
  std::string out = "left over from an earlier line";
  decode_line_text(span_of("T=21.5"), out);
  EXPECT_EQ(out, "T=21.5");
  decode_line_text(span_of("\xB0\xA1 1"), out);
  EXPECT_EQ(out, "\uAC00 1");
  decode_line_text({}, out);
  EXPECT_EQ(out, "");
}

TEST(LineText, HexDumpIncludesTheEnding) {
  using E = LineEnding;
  EXPECT_EQ(line_text(record("Hel", E::CrLf), true), "48 65 6C 0D 0A");
  EXPECT_EQ(line_text(record("Hel", E::Cr), true), "48 65 6C 0D");
  EXPECT_EQ(line_text(record("Hel", E::Lf), true), "48 65 6C 0A");
  EXPECT_EQ(line_text(record("\x01\x09\x7F", E::None), true), "01 09 7F");
  EXPECT_EQ(line_text(record("\xAB\xCD", E::Lf, Direction::Sent), true), "AB CD 0A");
  EXPECT_EQ(line_text(record("", E::CrLf), true), "0D 0A");
  EXPECT_EQ(line_text(record("", E::None), true), "");
}

TEST(LineText, MarkIsItsTextInEitherView) {
  const LineRecord mark =
      record("── Port closed 12:00:00.000 ──", LineEnding::None, Direction::Mark);
  EXPECT_EQ(line_text(mark, false), "── Port closed 12:00:00.000 ──");
  EXPECT_EQ(line_text(mark, true), "── Port closed 12:00:00.000 ──");
}

TEST(FrameVerdict, ChecksOnlyReceivedFramesUnderAChecksum) {
  const FrameSpec sum{8, ChecksumKind::Sum, 0xAA};
  const FrameSpec xor8{8, ChecksumKind::Xor, std::nullopt};
  const FrameSpec plain{8, ChecksumKind::None, 0xAA};
  const std::string good = "\xAA\x01\x02\x03\x04\x05\x06\xBF";
  const std::string bad = "\xAA\x01\x02\x03\x04\x05\x06\xB5";
  // 12 ^ 34 ^ 56 ^ 78 ^ 9A ^ BC ^ DE = F0
  const std::string xor_good = "\x12\x34\x56\x78\x9A\xBC\xDE\xF0";
  using V = FrameVerdict;
  struct Case {
    LineRecord rec;
    std::optional<FrameSpec> framing;
    V verdict;
  };
  std::vector<Case> cases;
  cases.push_back({record(good), sum, V::Good});
  cases.push_back({record(bad), sum, V::Bad});
  cases.push_back({record(good.substr(0, 4)), sum, V::Bad});  // cut short by the idle flush
  cases.push_back({record(good + std::string(1, '\0')), sum, V::Bad});
  cases.push_back({record(""), sum, V::Bad});
  cases.push_back({record(xor_good), xor8, V::Good});
  cases.push_back({record(xor_good.substr(0, 4)), xor8, V::Bad});
  cases.push_back({record(std::string("\xFF\xFF\x00\x00\x00\x00\x00\xFE", 8)), sum, V::Good});
  cases.push_back({record(good), std::nullopt, V::None});
  cases.push_back({record(good), plain, V::None});
  cases.push_back({record(good, LineEnding::Lf), sum, V::None});
  cases.push_back({record(bad, LineEnding::None, Direction::Sent), sum, V::None});
  cases.push_back({record(bad, LineEnding::None, Direction::Mark), sum, V::None});
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(frame_verdict(cases[i].rec, cases[i].framing), cases[i].verdict) << "case " << i;
  }
  EXPECT_EQ(frame_verdict_suffix(V::Good), "   ✓");
  EXPECT_TRUE(frame_verdict_suffix(V::Bad).starts_with("   ✗ "));
  EXPECT_EQ(frame_verdict_suffix(V::None), "");
}

TEST(FormatStamp, ThreeModes) {
  const Millis t = millis_from_civil({2026, 11, 18, 14, 3, 22, 517});
  EXPECT_EQ(format_stamp(t, 0, StampMode::Time), "14:03:22.517");
  EXPECT_EQ(format_stamp(t, 0, StampMode::DateAndTime), "2026-11-18 14:03:22.517");
  EXPECT_EQ(
      format_stamp(millis_from_civil({1969, 12, 31, 23, 59, 59, 999}), 0, StampMode::DateAndTime),
      "1969-12-31 23:59:59.999");

  struct Case {
    Millis since;
    const char* text;
  };
  const Millis opened = t;
  const std::vector<Case> cases = {
      {0, "+00:00.000"},           {125'250, "+02:05.250"},     {3'599'999, "+59:59.999"},
      {3'600'000, "+1:00:00.000"}, {3'725'250, "+1:02:05.250"}, {360'000'000, "+100:00:00.000"},
      {-1, "+00:00.000"},          {-86'400'000, "+00:00.000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format_stamp(opened + c.since, opened, StampMode::SinceOpening), c.text) << c.since;
  }
  // Far-apart times do not overflow the difference.
  EXPECT_EQ(format_stamp(INT64_MIN, INT64_MAX, StampMode::SinceOpening), "+00:00.000");
  EXPECT_TRUE(
      format_stamp(INT64_MAX, INT64_MIN, StampMode::SinceOpening).starts_with("+5124095576"));
}

TEST(FormatStamp, StoredModeValues) {
  EXPECT_EQ(stamp_mode_from_value(0), StampMode::Time);
  EXPECT_EQ(stamp_mode_from_value(1), StampMode::DateAndTime);
  EXPECT_EQ(stamp_mode_from_value(2), StampMode::SinceOpening);
  EXPECT_EQ(stamp_mode_from_value(3), StampMode::Time);
  EXPECT_EQ(stamp_mode_from_value(0xFFFFFFFF), StampMode::Time);
}

TEST(ParseFrameSpec, AcceptedTexts) {
  using C = ChecksumKind;
  struct Case {
    const char* text;
    FrameSpec framing;
  };
  const std::vector<Case> cases = {
      {"AA 8 sum", {8, C::Sum, 0xAA}},
      {"aa 8 SUM", {8, C::Sum, 0xAA}},
      {"0xAA,8,sum", {8, C::Sum, 0xAA}},
      {"sum 0xaa 8", {8, C::Sum, 0xAA}},
      {"0X0xAA 8 sum8", {8, C::Sum, 0xAA}},
      {"aa 8 합", {8, C::Sum, 0xAA}},
      {"8 xor", {8, C::Xor, std::nullopt}},
      {"xor AA 8 sum", {8, C::Sum, 0xAA}},  // the later keyword wins
      {"AA 8 sum 없음", {8, C::None, 0xAA}},
      {"AA 8 NONE", {8, C::None, 0xAA}},
      {"+aa +8", {8, C::None, 0xAA}},
      {"0x+ff 16", {16, C::None, 0xFF}},
      {"00aa 008", {8, C::None, 0xAA}},
      {"0 2", {2, C::None, 0x00}},
      {"4096", {4096, C::None, std::nullopt}},
      {" \t,AA,, 8\t ", {8, C::None, 0xAA}},
  };
  for (const Case& c : cases) {
    const Result<FrameSpec> r = parse_frame_spec(c.text);
    ASSERT_TRUE(r.ok()) << c.text;
    EXPECT_EQ(*r, c.framing) << c.text;
  }
}

TEST(ParseFrameSpec, RejectedTexts) {
  const std::vector<std::string> texts = {
      "",        "   ",    "AA",     "AA 1",
      "AA 4097", "AA 8 9", "GG 8",   "100 8",
      "AA -8",   "AA 0x8", "0x 8",   "AA 8.0",
      "sum",     "+ 8",    "++AA 8", "AA 99999999999999999999",
      "+0xAA 8", "AA 0",   "AA ８",
  };
  for (const std::string& t : texts) {
    const Result<FrameSpec> r = parse_frame_spec(t);
    ASSERT_FALSE(r.ok()) << t;
    EXPECT_NE(r.error().text.find("AA 8 sum"), std::string::npos) << r.error().text;
  }
}

TEST(ParseFrameSpec, ShortFormReadsBack) {
  const std::vector<FrameSpec> framings = {{8, ChecksumKind::Sum, 0xAA},
                                           {12, ChecksumKind::Xor, std::nullopt},
                                           {4096, ChecksumKind::None, 0x05}};
  EXPECT_EQ(frame_spec_text(framings[0]), "AA 8 sum");
  EXPECT_EQ(frame_spec_text(framings[1]), "12 xor");
  EXPECT_EQ(frame_spec_text(framings[2]), "05 4096");
  for (const FrameSpec& s : framings) {
    const Result<FrameSpec> r = parse_frame_spec(frame_spec_text(s));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, s);
  }
}

TEST(CopyText, DirectionDecidesTheForm) {
  const Millis t = millis_from_civil({2026, 11, 18, 14, 3, 22, 517});
  const LineRecord rx = record("T=21.5\x01", LineEnding::CrLf, Direction::Received, t);
  const LineRecord tx = record("*IDN?", LineEnding::Lf, Direction::Sent, t);
  const LineRecord mark =
      record("── Reconnected 14:03:22.517 ──", LineEnding::None, Direction::Mark, t);
  EXPECT_EQ(copy_text(rx, false, StampMode::Time, 0), "14:03:22.517  T=21.5\u2401");
  EXPECT_EQ(copy_text(rx, true, StampMode::Time, 0), "14:03:22.517  54 3D 32 31 2E 35 01 0D 0A");
  EXPECT_EQ(copy_text(tx, false, StampMode::DateAndTime, 0), "2026-11-18 14:03:22.517  → *IDN?");
  EXPECT_EQ(copy_text(tx, false, StampMode::SinceOpening, t - 1500), "+00:01.500  → *IDN?");
  EXPECT_EQ(copy_text(mark, true, StampMode::DateAndTime, 0), "── Reconnected 14:03:22.517 ──");
}

}  // namespace
}  // namespace lw
