// Reading log files back for a replay: the program's own three kinds of
// file and any text, read in chunks of any size, and where bad input stops.
#include "sim/replay_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lw {
namespace {

// A file in memory, handed out `chunk` bytes at a time.
ReplaySource memory_source(std::string bytes, size_t chunk = 1 << 20) {
  auto at = std::make_shared<size_t>(0);
  return [bytes = std::move(bytes), at, chunk](std::span<uint8_t> buf) -> Result<size_t> {
    const size_t n = std::min({buf.size(), chunk, bytes.size() - *at});
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(*at), n, buf.begin());
    *at += n;
    return n;
  };
}

struct Read {
  std::vector<ReplayLine> lines;
  ReplayFormat format = ReplayFormat::Plain;
  bool hex = false;
  std::optional<uint64_t> unreadable;
};

Read read_all(ReplaySource source) {
  ReplayReader reader(std::move(source));
  Read r;
  while (std::optional<ReplayLine> line = reader.next()) r.lines.push_back(std::move(*line));
  EXPECT_FALSE(reader.next().has_value());  // the end stays the end
  r.format = reader.format();
  r.hex = reader.hex();
  r.unreadable = reader.unreadable_line();
  return r;
}

Read read_all(const std::string& file, size_t chunk = 1 << 20) {
  return read_all(memory_source(file, chunk));
}

std::string text(const ReplayLine& l) { return {l.bytes.begin(), l.bytes.end()}; }

Millis at(int h, int m, int s, int ms) { return millis_from_civil({2026, 12, 6, h, m, s, ms}); }

const std::string kBom = "\xEF\xBB\xBF";

TEST(ReplayReader, RecordingGivesItsReceivedLinesWithStampsAndSkipsTheRest) {
  const std::string file =
      kBom +
      "2026-12-06 14:03:22.517  Arduino ready\r\n"
      "2026-12-06 14:03:22.700  \xE2\x86\x92 *IDN?\r\n"
      "\xE2\x94\x80\xE2\x94\x80 Note: 14:03:23.000 calibrated \xE2\x94\x80\xE2\x94\x80\r\n"
      "2026-12-06 14:03:22.750  OK *IDN?\xE2\x90\x8D\r\n"
      "2026-12-06 14:03:23.900  a\ttab \xE2\x90\x80 and \xE2\x90\xA1 del\r\n"
      "2026-12-06 14:03:24.000  \r\n"
      "# Session summary line\r\n";
  for (const size_t chunk : {size_t{1}, size_t{7}, size_t{1} << 20}) {
    SCOPED_TRACE(chunk);
    const Read r = read_all(file, chunk);
    EXPECT_EQ(r.format, ReplayFormat::Stamped);
    EXPECT_FALSE(r.hex);
    EXPECT_FALSE(r.unreadable);
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(text(r.lines[0]), "Arduino ready\r\n");
    EXPECT_EQ(r.lines[0].stamp, at(14, 3, 22, 517));
    EXPECT_EQ(r.lines[0].ending, LineEnding::CrLf);
    EXPECT_EQ(r.lines[0].number, 1u);
    // The control pictures turn back into the bytes they show.
    EXPECT_EQ(text(r.lines[1]), "OK *IDN?\r\r\n");
    EXPECT_EQ(r.lines[1].number, 4u);
    EXPECT_EQ(text(r.lines[2]), std::string("a\ttab ") + '\0' + " and \x7F del\r\n");
    EXPECT_EQ(r.lines[2].stamp, at(14, 3, 23, 900));
    EXPECT_EQ(text(r.lines[3]), "\r\n");  // an empty line
  }
}

TEST(ReplayReader, SavedTextLogWithItsHeader) {
  const Read r = read_all(kBom +
                          "# Linewick \xC2\xB7 COM3 \xC2\xB7 Arduino Uno \xC2\xB7 9600 8N1\r\n"
                          "2026-12-06 14:03:22.517  T=21.5 H=40\r\n"
                          "2026-12-06 14:03:22.717  T=21.6 H=40\r\n");
  EXPECT_EQ(r.format, ReplayFormat::Stamped);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(text(r.lines[1]), "T=21.6 H=40\r\n");
  EXPECT_EQ(*r.lines[1].stamp - *r.lines[0].stamp, 200);

  // A file cut off right after a stamp ends there, with nothing to replay.
  const Read cut = read_all("2026-12-06 14:03:22.517  one\r\n2026-12-06 14:03:22.617  ");
  ASSERT_EQ(cut.lines.size(), 1u);
  EXPECT_FALSE(cut.unreadable);
}

TEST(ReplayReader, HexRecordingGivesTheExactBytesAndEnds) {
  const Read r = read_all(
      "2026-12-06 14:03:22.517  AA 01 02 03 04 05 06 BF\r\n"
      "2026-12-06 14:03:22.600  \xE2\x86\x92 2A 49 44 4E 3F 0A\r\n"
      "2026-12-06 14:03:22.650  48 65 6C 0D 0A\r\n"
      "2026-12-06 14:03:22.700  41 0D\r\n");
  EXPECT_EQ(r.format, ReplayFormat::Stamped);
  EXPECT_TRUE(r.hex);
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(text(r.lines[0]), "\xAA\x01\x02\x03\x04\x05\x06\xBF");
  EXPECT_EQ(r.lines[0].ending, LineEnding::None);
  EXPECT_EQ(text(r.lines[1]), "Hel\r\n");
  EXPECT_EQ(r.lines[1].ending, LineEnding::CrLf);
  EXPECT_EQ(r.lines[2].ending, LineEnding::Cr);
}

TEST(ReplayReader, CsvLogGivesItsReceivedRowsByteForByte) {
  const Read r = read_all(
      kBom +
      "date,time,direction,text,hex\r\n"
      "2026-12-06,14:03:22.517,rx,\"a,\"\"b\"\"\",61 2C 22 62 22 0D 0A\r\n"
      "2026-12-06,14:03:22.600,tx,*IDN?,2A 49 44 4E 3F 0A\r\n"
      "2026-12-06,14:03:22.610,mark,\xE2\x94\x80\xE2\x94\x80 x \xE2\x94\x80\xE2\x94\x80,\r\n"
      "2026-12-06,14:03:22.700,rx,\xC3\xBF,FF\r\n");
  EXPECT_EQ(r.format, ReplayFormat::Csv);
  EXPECT_FALSE(r.unreadable);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(text(r.lines[0]), "a,\"b\"\r\n");
  EXPECT_EQ(r.lines[0].ending, LineEnding::CrLf);
  EXPECT_EQ(r.lines[0].stamp, at(14, 3, 22, 517));
  EXPECT_EQ(text(r.lines[1]), "\xFF");  // the hex column, not the decoded text
  EXPECT_EQ(r.lines[1].ending, LineEnding::None);
  EXPECT_EQ(r.lines[1].number, 5u);
}

TEST(ReplayReader, AnyTextFileGivesEveryLineWithItsOwnEnd) {
  const Read r = read_all("first\nsecond\r\n\r\nthird\rlast");
  EXPECT_EQ(r.format, ReplayFormat::Plain);
  ASSERT_EQ(r.lines.size(), 5u);
  const std::vector<std::pair<std::string, LineEnding>> expected = {
      {"first\n", LineEnding::Lf}, {"second\r\n", LineEnding::CrLf}, {"\r\n", LineEnding::CrLf},
      {"third\r", LineEnding::Cr}, {"last", LineEnding::None},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(text(r.lines[i]), expected[i].first) << i;
    EXPECT_EQ(r.lines[i].ending, expected[i].second) << i;
    EXPECT_FALSE(r.lines[i].stamp) << i;
  }
  // Bytes that are not UTF-8 pass as they are; the log decodes them.
  const Read cp949 = read_all("\xB0\xA1\n");
  ASSERT_EQ(cp949.lines.size(), 1u);
  EXPECT_EQ(text(cp949.lines[0]), "\xB0\xA1\n");
  EXPECT_TRUE(read_all("").lines.empty());
  EXPECT_FALSE(read_all("").unreadable);
}

TEST(ReplayReader, BadInputIsReadUpToTheFirstLineThatCantBe) {
  using namespace std::string_literals;
  const std::string stamped = "2026-12-06 14:03:22.517  one\r\n2026-12-06 14:03:22.617  two\r\n";
  struct Case {
    const char* what;
    std::string file;
    size_t lines;
    uint64_t unreadable;
  };
  const std::vector<Case> cases = {
      {"not text", "one\ntwo\n\x89PNG\x00\x00\n"s, 2, 3},
      {"a NUL in a stamped line", stamped + "2026-12-06 14:03:22.700  x\0y\r\n"s, 2, 3},
      {"month 13", stamped + "2026-13-06 14:03:22.717  three\r\n", 2, 3},
      {"30 February", stamped + "2026-02-30 14:03:22.717  three\r\n", 2, 3},
      {"a cut stamp", stamped + "2026-12-06 14:03  three\r\n", 2, 3},
      {"one blank after the stamp", stamped + "2026-12-06 14:03:22.717 three\r\n", 2, 3},
      {"text without a stamp", stamped + "three\r\n", 2, 3},
      {"a line too long", "one\n" + std::string(kReplayMaxLine + 1, 'x') + "\nthree\n", 1, 2},
      {"a last line too long", "one\n" + std::string(kReplayMaxLine + 1, 'x'), 1, 2},
      {"CSV quotes that don't close",
       "date,time,direction,text,hex\n2026-12-06,14:03:22.517,rx,\"a,61\n", 0, 2},
      {"CSV without the hex column", "date,time,direction,text,hex\n2026-12-06,14:03:22.517,rx,a\n",
       0, 2},
      {"CSV with an unknown direction",
       "date,time,direction,text,hex\n2026-12-06,14:03:22.517,rx,a,61\n"
       "2026-12-06,14:03:22.600,in,b,62\n",
       1, 3},
      {"CSV hex that isn't", "date,time,direction,text,hex\n2026-12-06,14:03:22.517,rx,a,6\n", 0,
       2},
      {"CSV with a broken time", "date,time,direction,text,hex\n2026-12-06,24:03:22.517,rx,a,61\n",
       0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const size_t chunk : {size_t{3}, size_t{1} << 20}) {
      const Read r = read_all(c.file, chunk);
      EXPECT_EQ(r.lines.size(), c.lines);
      EXPECT_EQ(r.unreadable, c.unreadable);
    }
  }
}

TEST(ReplayReader, AFileThatFailsMidwayStopsAtTheLineItCut) {
  auto calls = std::make_shared<int>(0);
  ReplaySource source = [calls](std::span<uint8_t> buf) -> Result<size_t> {
    if (++*calls > 1) return fail(Error{5, "I/O error"});
    const std::string_view part = "one\ntwo\nthr";
    std::copy(part.begin(), part.end(), buf.begin());
    return part.size();
  };
  const Read r = read_all(std::move(source));
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.unreadable, 3u);
}

TEST(ReplayReader, LinesPastTheFirstChunksStream) {
  // 200,000 lines, about 5 MB: far more than one chunk or the sniffed start.
  std::string file;
  for (int i = 0; i < 200'000; ++i) {
    file += "2026-12-06 14:03:22.517  line " + std::to_string(i) + "\r\n";
  }
  ReplayReader reader(memory_source(file, 4096));
  uint64_t count = 0;
  std::string last;
  while (std::optional<ReplayLine> line = reader.next()) {
    ++count;
    last = text(*line);
  }
  EXPECT_EQ(count, 200'000u);
  EXPECT_EQ(last, "line 199999\r\n");
  EXPECT_FALSE(reader.unreadable_line());
}

TEST(ReplayReader, Stamps) {
  EXPECT_EQ(parse_stamp("2026-12-06", "14:03:22.517"), at(14, 3, 22, 517));
  EXPECT_EQ(parse_stamp("2024-02-29", "00:00:00.000"), millis_from_civil({2024, 2, 29}));
  EXPECT_EQ(parse_stamp("1969-12-31", "23:59:59.999"), Millis{-1});
  for (const auto& [date, time] : std::vector<std::pair<const char*, const char*>>{
           {"2025-02-29", "00:00:00.000"},
           {"2026-00-10", "00:00:00.000"},
           {"2026-12-32", "00:00:00.000"},
           {"2026-12-06", "24:00:00.000"},
           {"2026-12-06", "23:60:00.000"},
           {"2026-12-06", "23:00:60.000"},
           {"2026-12-06", "23:00:00.00"},
           {"2026-12-6", "23:00:00.000"},
           {"2026/12/06", "23:00:00.000"},
           {"2026-12-06", "23:00:00,000"},
           {"+026-12-06", "23:00:00.000"},
       }) {
    EXPECT_FALSE(parse_stamp(date, time)) << date << " " << time;
  }
}

TEST(ReplayReader, HexDumpsAndDisplayText) {
  EXPECT_EQ(parse_hex_dump("48 65 0d 0A"), (std::vector<uint8_t>{0x48, 0x65, 0x0D, 0x0A}));
  for (const char* bad : {"", "4", "4865", "48  65", "48 6", "48 GG", " 48", "48 "}) {
    EXPECT_FALSE(parse_hex_dump(bad)) << bad;
  }
  // A control picture cut off at the end stays as it is.
  EXPECT_EQ(bytes_from_display_text("\xE2\x90\x8A\xE2\x90"),
            (std::vector<uint8_t>{0x0A, 0xE2, 0x90}));
  // U+2420 (the picture of a space) stands for no control character.
  EXPECT_EQ(bytes_from_display_text("\xE2\x90\xA0"), (std::vector<uint8_t>{0xE2, 0x90, 0xA0}));
}

}  // namespace
}  // namespace lw
