#include "session/splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lw {
namespace {

std::span<const uint8_t> bytes_of(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

struct Line {
  std::string bytes;
  LineEnding ending;
  Millis time;
  bool operator==(const Line&) const = default;
};

std::vector<Line> lines_of(const std::vector<LineRecord>& recs) {
  std::vector<Line> out;
  for (const auto& r : recs) out.push_back({std::string(r.bytes.view()), r.ending, r.time});
  return out;
}

// Feeds chunks at times 1000, 1001, ... (mono the same), then goes idle.
std::vector<Line> split(const std::vector<std::string>& chunks, std::optional<FrameSpec> f = {},
                        bool idle_at_end = true) {
  Splitter s(f);
  std::vector<LineRecord> out;
  Millis t = 1000;
  for (const auto& c : chunks) s.feed(bytes_of(c), t, t, out), ++t;
  if (idle_at_end) s.idle(t + 200, out);
  return lines_of(out);
}

TEST(Splitter, CrLfAndLoneCrAcrossChunks) {
  using E = LineEnding;
  // 41 0D then silence: one line ending Cr.
  EXPECT_EQ(split({"A\r"}), (std::vector<Line>{{"A", E::Cr, 1000}}));
  // 41 0D, then 0A 42 0A in a later chunk.
  EXPECT_EQ(split({"A\r", "\nB\n"}), (std::vector<Line>{{"A", E::CrLf, 1000}, {"B", E::Lf, 1001}}));
  EXPECT_EQ(split({"\n\n"}), (std::vector<Line>{{"", E::Lf, 1000}, {"", E::Lf, 1000}}));
  EXPECT_EQ(split({"\r\r"}), (std::vector<Line>{{"", E::Cr, 1000}, {"", E::Cr, 1000}}));
  EXPECT_EQ(split({"\r\n\r\n"}), (std::vector<Line>{{"", E::CrLf, 1000}, {"", E::CrLf, 1000}}));
  EXPECT_EQ(split({"a\rb\n"}), (std::vector<Line>{{"a", E::Cr, 1000}, {"b", E::Lf, 1000}}));
  // A line's time is the time of its first byte.
  EXPECT_EQ(split({"ab", "c\n"}), (std::vector<Line>{{"abc", E::Lf, 1000}}));
}

TEST(Splitter, IdleFlushNeedsMoreThan99Ms) {
  Splitter s;
  std::vector<LineRecord> out;
  s.feed(bytes_of("partial"), 5, 1000, out);
  s.idle(1099, out);
  EXPECT_TRUE(out.empty());
  s.idle(1100, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].bytes.view(), "partial");
  EXPECT_EQ(out[0].ending, LineEnding::None);
}

TEST(Splitter, LongLineIsCutAt4096) {
  const auto lines = split({std::string(5000, 'x')});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].bytes.size(), 4096u);
  EXPECT_EQ(lines[0].ending, LineEnding::None);
  EXPECT_EQ(lines[1].bytes.size(), 904u);
  EXPECT_EQ(lines[1].ending, LineEnding::None);
  // A terminator right after 4095 bytes still closes the line normally.
  const auto exact = split({std::string(4095, 'y') + "\n"});
  ASSERT_EQ(exact.size(), 1u);
  EXPECT_EQ(exact[0].ending, LineEnding::Lf);
  // The 4096th byte cuts; the LF after it is an empty line of its own.
  const auto cut = split({std::string(4096, 'z') + "\n"});
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[1], (Line{"", LineEnding::Lf, 1000}));
}

TEST(Splitter, FramesWithStartByteDropBytesBetweenFrames) {
  const FrameSpec frame{8, ChecksumKind::Sum, uint8_t{0xAA}};
  const std::string stream("\x00\xAA\x01\x02\x03\x04\x05\x06\xBF", 9);
  const auto frames = split({stream}, frame);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, std::string("\xAA\x01\x02\x03\x04\x05\x06\xBF", 8));
  // Split in the middle of a frame and with junk between frames.
  const auto two = split({std::string("\xAA\x01\x02", 3),
                          std::string("\x03\x04\x05\x06\x07zz\xAA", 8), std::string("1234567", 7)},
                         frame);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].time, 1000);
  EXPECT_EQ(two[1].bytes,
            "\xAA"
            "1234567");
  EXPECT_EQ(two[1].time, 1001);
}

TEST(Splitter, FramesWithoutStartByteAndIdleRemainder) {
  const FrameSpec frame{8, ChecksumKind::Xor, std::nullopt};
  const auto frames = split({"0123456789AB"}, frame);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].bytes, "01234567");
  EXPECT_EQ(frames[1].bytes, "89AB");
  EXPECT_EQ(frames[1].ending, LineEnding::None);
}

TEST(Splitter, ChangingFramingClosesThePartialState) {
  Splitter s;
  std::vector<LineRecord> out;
  s.feed(bytes_of("abc\r"), 1, 1, out);
  s.set_framing(FrameSpec{4, ChecksumKind::None, std::nullopt}, out);
  s.feed(bytes_of("\n123"), 2, 2, out);
  s.set_framing(std::nullopt, out);
  const auto lines = lines_of(out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (Line{"abc", LineEnding::Cr, 1}));
  EXPECT_EQ(lines[1], (Line{"\n123", LineEnding::None, 2}));
}

// Splitting a stream in any chunking gives the same records as splitting it
// whole (the times differ, so compare bytes and endings), and the records
// re-joined with their endings give back the stream.
TEST(Splitter, AnyChunkingGivesTheSameRecords) {
  std::mt19937 rng(12345);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\x00', '\xff', 'x'};
  for (int round = 0; round < 200; ++round) {
    std::string stream;
    const int len = static_cast<int>(rng() % 9000);
    for (int i = 0; i < len; ++i) {
      stream.push_back(rng() % 50 == 0 ? alphabet[rng() % 7] : static_cast<char>('a' + rng() % 26));
      if (rng() % 40 == 0) stream += "\r\n";
    }
    for (std::optional<FrameSpec> f :
         {std::optional<FrameSpec>{},
          std::optional<FrameSpec>{FrameSpec{7, ChecksumKind::None, {}}}}) {
      auto whole = split({stream}, f);
      std::vector<std::string> chunks;
      for (size_t i = 0; i < stream.size();) {
        const size_t n = std::min<size_t>(stream.size() - i, 1 + rng() % 300);
        chunks.push_back(stream.substr(i, n));
        i += n;
      }
      auto parts = split(chunks, f);
      ASSERT_EQ(whole.size(), parts.size()) << "round " << round;
      std::string rejoined;
      for (size_t k = 0; k < whole.size(); ++k) {
        ASSERT_EQ(whole[k].bytes, parts[k].bytes);
        ASSERT_EQ(whole[k].ending, parts[k].ending);
        rejoined += whole[k].bytes;
        if (whole[k].ending == LineEnding::Cr) rejoined += "\r";
        if (whole[k].ending == LineEnding::Lf) rejoined += "\n";
        if (whole[k].ending == LineEnding::CrLf) rejoined += "\r\n";
      }
      EXPECT_EQ(rejoined, stream);
    }
  }
}

}  // namespace
}  // namespace lw
