// A disk that fills up under a recording, made with the file-size limit:
// a write past it fails as on a full disk, without needing one.
#include <gtest/gtest.h>

#include <string>

#include "base/text_file.h"
#include "files/file_names.h"
#include "files/recording.h"
#include "support/file_size_cap_posix.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

LineRecord numbered(uint64_t n, Millis t) {
  char text[32];
  std::snprintf(text, sizeof text, "%08llu adc0=1", static_cast<unsigned long long>(n));
  LineRecord r;
  r.bytes = Bytes(std::string_view(text));
  r.time = t;
  r.ending = LineEnding::CrLf;
  return r;
}

class FullDiskTest : public test::TempFolderTest {};

TEST_F(FullDiskTest, LinesWrittenWhileTheDiskIsFullReachTheFileWhenSpaceReturns) {
  const fs::path folder = dir_ / "Linewick";
  const Millis t = millis_from_civil({2026, 12, 6, 9, 0, 0, 0});
  Recording rec(folder, "COM3", "Arduino Uno");
  std::string expected(kUtf8Bom);
  uint64_t n = 0;
  const auto write_lines = [&](int count) {
    for (int i = 0; i < count; ++i) {
      ++n;
      const LineRecord r = numbered(n, t + static_cast<Millis>(n));
      (void)rec.write(r, false);
      expected += file_line(r, false) + "\r\n";
    }
  };
  write_lines(10);
  ASSERT_TRUE(rec.flush().ok());
  {
    // Room for a few lines more: the next writes fail part way through.
    test::FileSizeCap cap(fs::file_size(rec.current_path()) + 100);
    write_lines(5000);  // more than the buffer: it reaches the cap at once
    EXPECT_FALSE(rec.flush().ok());
    write_lines(10);
    EXPECT_FALSE(rec.flush().ok());
    cap.lift();
    ASSERT_TRUE(rec.flush().ok());
  }
  write_lines(3);
  rec.close();
  EXPECT_EQ(read(folder / recording_file_name("COM3", "Arduino Uno", "2026-12-06", 1)), expected);
  EXPECT_EQ(rec.lines_dropped(), 0u);
}

TEST_F(FullDiskTest, TheBacklogIsBoundedAndCountsWhatItGivesUp) {
  const fs::path folder = dir_ / "Linewick";
  fs::create_directories(dir_);
  write(folder, "in the way");  // nothing can be opened
  Recording rec(folder, "COM3", "Arduino Uno");
  const Millis t = millis_from_civil({2026, 12, 6, 9, 0, 0, 0});
  const std::string text(1000, 'x');
  LineRecord r;
  r.bytes = Bytes(std::string_view(text));
  r.time = t;
  const size_t fits = kRecordingBacklogLimit / (file_line(r, false).size() + 2);
  for (size_t i = 0; i < fits + 10; ++i) (void)rec.write(r, false);
  EXPECT_EQ(rec.lines_dropped(), 10u);
  fs::remove(folder);
  ASSERT_TRUE(rec.flush().ok());
  EXPECT_EQ(fs::file_size(rec.current_path()),
            kUtf8Bom.size() + fits * (file_line(r, false).size() + 2));
}

}  // namespace
}  // namespace lw
