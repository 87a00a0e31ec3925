#include "files/recording.h"

#include <gtest/gtest.h>

#include "files/file_names.h"
#include "files/line_fixtures.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

using test::at;

namespace fs = std::filesystem;

const std::string kBom = "\xEF\xBB\xBF";

LineRecord line(std::string_view text, Millis time, Direction dir = Direction::Received) {
  return test::record(text, dir, LineEnding::CrLf, time);
}

class RecordingTest : public test::TempFolderTest {
 protected:
  fs::path folder() const { return dir_ / "Linewick"; }
  fs::path day(const char* date, uint32_t part = 1) const {
    return folder() / recording_file_name("COM3", "Arduino Uno", date, part);
  }
};

TEST_F(RecordingTest, NothingIsCreatedBeforeTheFirstLine) {
  Recording rec(folder(), "COM3", "Arduino Uno");
  EXPECT_EQ(rec.day_file_name(at(2026, 12, 6, 9, 0, 0)), "COM3-Arduino Uno-2026-12-06.txt");
  EXPECT_FALSE(fs::exists(folder()));
  rec.close();
  EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(RecordingTest, LinesReachTheDiskAtFlushAndClose) {
  Recording rec(folder(), "COM3", "Arduino Uno");
  ASSERT_TRUE(rec.write(line("T=21.5", at(2026, 12, 6, 14, 3, 22, 517)), false).ok());
  EXPECT_EQ(rec.current_path(), day("2026-12-06"));
  EXPECT_EQ(read(day("2026-12-06")), "");  // still in the buffer
  ASSERT_TRUE(rec.flush().ok());
  EXPECT_EQ(read(day("2026-12-06")), kBom + "2026-12-06 14:03:22.517  T=21.5\r\n");
  ASSERT_TRUE(rec.write(line("*IDN?", at(2026, 12, 6, 14, 3, 23), Direction::Sent), false).ok());
  ASSERT_TRUE(rec.write(line("4", at(2026, 12, 6, 14, 3, 24)), true).ok());
  rec.close();
  EXPECT_EQ(read(day("2026-12-06")), kBom +
                                         "2026-12-06 14:03:22.517  T=21.5\r\n"
                                         "2026-12-06 14:03:23.000  \xE2\x86\x92 *IDN?\r\n"
                                         "2026-12-06 14:03:24.000  34 0D 0A\r\n");
  EXPECT_EQ(rec.bytes_written(), fs::file_size(day("2026-12-06")));
}

// The lines of one chunk share its stamp; the next stamp, a millisecond
// later, is another day and so another file.
TEST_F(RecordingTest, EachLineCarriesItsOwnStampAcrossAChunkAndADayChange) {
  Recording rec(folder(), "COM3", "Arduino Uno");
  const Millis t = at(2026, 12, 6, 23, 59, 59, 999);
  ASSERT_TRUE(rec.write(line("a", t), false).ok());
  ASSERT_TRUE(rec.write(line("-- note --", t, Direction::Mark), false).ok());
  ASSERT_TRUE(rec.write(line("b", t), false).ok());
  ASSERT_TRUE(rec.write(line("c", t + 1), false).ok());
  ASSERT_TRUE(rec.write(line("d", t + 1, Direction::Sent), false).ok());
  rec.close();
  EXPECT_EQ(read(day("2026-12-06")), kBom +
                                         "2026-12-06 23:59:59.999  a\r\n"
                                         "-- note --\r\n"
                                         "2026-12-06 23:59:59.999  b\r\n");
  EXPECT_EQ(read(day("2026-12-07")), kBom +
                                         "2026-12-07 00:00:00.000  c\r\n"
                                         "2026-12-07 00:00:00.000  \xE2\x86\x92 d\r\n");
}

TEST_F(RecordingTest, AFullBufferIsWrittenWithoutFlush) {
  Recording rec(folder(), "COM3", "Arduino Uno");
  const std::string text(1000, 'x');
  const Millis t = at(2026, 12, 6, 10, 0, 0);
  size_t lines = 0;
  do {
    ASSERT_TRUE(rec.write(line(text, t), false).ok());
    ++lines;
    ASSERT_LT(lines, 100u) << "a 64 KiB buffer holds about 63 such lines";
  } while (fs::file_size(day("2026-12-06")) == 0);
  EXPECT_GT(lines, 60u);
  // What reached the disk is whole lines only.
  const std::string on_disk = read(day("2026-12-06"));
  EXPECT_EQ(on_disk.substr(on_disk.size() - 2), "\r\n");
}

TEST_F(RecordingTest, AcrossMidnightTheNewDayStartsANewFile) {
  Recording rec(folder(), "COM3", "Arduino Uno", 200);
  // Day one already ran into part 2; the new day starts at part 1 again.
  ASSERT_TRUE(rec.write(line(std::string(200, 'a'), at(2026, 12, 6, 23, 59, 58)), false).ok());
  ASSERT_TRUE(rec.write(line("last", at(2026, 12, 6, 23, 59, 59, 999)), false).ok());
  EXPECT_EQ(rec.part(), 2u);
  ASSERT_TRUE(rec.write(line("first", at(2026, 12, 7, 0, 0, 0, 1)), false).ok());
  EXPECT_EQ(rec.part(), 1u);
  rec.close();
  EXPECT_EQ(read(day("2026-12-06", 2)), kBom + "2026-12-06 23:59:59.999  last\r\n");
  EXPECT_EQ(read(day("2026-12-07")), kBom + "2026-12-07 00:00:00.001  first\r\n");
}

TEST_F(RecordingTest, PartsOfTheSizeLimit) {
  constexpr uint64_t kLimit = 100;
  fs::create_directories(folder());
  // Part 1 is already at the limit and part 2 above it: writing goes on in 3.
  write(day("2026-12-06"), kBom + std::string(kLimit - 3, 'a'));
  write(day("2026-12-06", 2), kBom + std::string(kLimit, 'b'));
  write(day("2026-12-06", 3), kBom + "old\r\n");
  Recording rec(folder(), "COM3", "Arduino Uno", kLimit);
  const Millis t = at(2026, 12, 6, 8, 0, 0);
  ASSERT_TRUE(rec.write(line("one", t), false).ok());
  EXPECT_EQ(rec.part(), 3u);
  // A line is never split: part 3 grows past the limit, the next goes to 4.
  ASSERT_TRUE(rec.write(line(std::string(80, 'c'), t), false).ok());
  EXPECT_EQ(rec.part(), 3u);
  ASSERT_TRUE(rec.write(line("two", t), false).ok());
  EXPECT_EQ(rec.part(), 4u);
  rec.close();
  EXPECT_EQ(fs::file_size(day("2026-12-06")), kLimit);
  EXPECT_EQ(fs::file_size(day("2026-12-06", 2)), kLimit + 3);
  const std::string three = read(day("2026-12-06", 3));
  EXPECT_EQ(three.substr(0, 38), kBom + "old\r\n2026-12-06 08:00:00.000  one\r\n");
  EXPECT_EQ(three.find(kBom, 1), std::string::npos);
  EXPECT_EQ(read(day("2026-12-06", 4)), kBom + "2026-12-06 08:00:00.000  two\r\n");
}

TEST_F(RecordingTest, RecordOffAndOnTheSameDayKeepsOneBom) {
  const Millis t = at(2026, 12, 6, 9, 0, 0);
  {
    Recording rec(folder(), "COM3", "Arduino Uno");
    ASSERT_TRUE(rec.write(line("before", t), false).ok());
  }  // Record off
  {
    Recording rec(folder(), "COM3", "Arduino Uno");
    ASSERT_TRUE(rec.write(line("after", t + 1000), false).ok());
    rec.close();
  }
  EXPECT_EQ(read(day("2026-12-06")), kBom +
                                         "2026-12-06 09:00:00.000  before\r\n"
                                         "2026-12-06 09:00:01.000  after\r\n");
}

TEST_F(RecordingTest, LinesWaitWhileTheFolderCannotBeMadeAndNoneIsLost) {
  // The folder's place is taken by a file: nothing can be written.
  write(folder(), "in the way");
  Recording rec(folder(), "COM3", "Arduino Uno");
  const Millis t = at(2026, 12, 6, 9, 0, 0);
  EXPECT_FALSE(rec.write(line("first", t), false).ok());
  EXPECT_FALSE(rec.write(line("second", t + 1), false).ok());
  EXPECT_TRUE(rec.current_path().empty());
  EXPECT_FALSE(rec.flush().ok());
  fs::remove(folder());
  // The tick writes what waited, in order, with one byte-order mark.
  ASSERT_TRUE(rec.flush().ok());
  ASSERT_TRUE(rec.write(line("third", t + 2), false).ok());
  rec.close();
  EXPECT_EQ(read(day("2026-12-06")), kBom +
                                         "2026-12-06 09:00:00.000  first\r\n"
                                         "2026-12-06 09:00:00.001  second\r\n"
                                         "2026-12-06 09:00:00.002  third\r\n");
  EXPECT_EQ(rec.lines_dropped(), 0u);
}

TEST_F(RecordingTest, WhatStillCannotBeWrittenAtADayChangeOrCloseIsCounted) {
  write(folder(), "in the way");
  Recording rec(folder(), "COM3", "Arduino Uno");
  (void)rec.write(line("a", at(2026, 12, 6, 23, 59, 59)), false);
  (void)rec.write(line("b", at(2026, 12, 7, 0, 0, 0)), false);  // gives up on the 6th
  EXPECT_EQ(rec.lines_dropped(), 1u);
  rec.close();
  EXPECT_EQ(rec.lines_dropped(), 2u);
}

TEST_F(RecordingTest, SummaryLinesCloseTheFile) {
  Recording rec(folder(), "COM3", "Arduino Uno");
  ASSERT_TRUE(rec.write(line("x", at(2026, 12, 6, 9, 0, 0)), false).ok());
  const std::vector<std::string> summary = {"Lines 1", "Values T: 21.5"};
  rec.write_summary(summary, at(2026, 12, 6, 9, 5, 0));
  EXPECT_TRUE(rec.current_path().empty());
  EXPECT_EQ(read(day("2026-12-06")), kBom +
                                         "2026-12-06 09:00:00.000  x\r\n"
                                         "# Lines 1\r\n"
                                         "# Values T: 21.5\r\n");
}

}  // namespace
}  // namespace lw
