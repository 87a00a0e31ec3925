// A values file on a disk that fills up and empties again.
#include <gtest/gtest.h>

#include <filesystem>

#include "lab/values_csv.h"
#include "support/file_size_cap_posix.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

class ValuesFullDiskTest : public test::TempFolderTest {};

TEST_F(ValuesFullDiskTest, RowsWrittenWhileTheDiskIsFullReachTheFileWhenSpaceReturns) {
  const Millis t = millis_from_civil({2026, 12, 6, 9, 0, 0, 0});
  const std::filesystem::path file = dir_ / "v-2026-12-06.csv";
  size_t rows = 0;
  {
    ValuesCsvWriter w(dir_, "v", false);
    const auto write_rows = [&](int count) {
      for (int i = 0; i < count; ++i) {
        const ValueList values = {{"n", static_cast<double>(rows)}};
        (void)w.write_row(t + static_cast<Millis>(rows), values, {});
        ++rows;
      }
    };
    write_rows(10);
    ASSERT_TRUE(w.flush().ok());
    {
      test::FileSizeCap cap(std::filesystem::file_size(file) + 50);
      write_rows(4000);  // more than the buffer: the write stops at the cap
      EXPECT_FALSE(w.flush().ok());
      write_rows(10);
      cap.lift();
      ASSERT_TRUE(w.flush().ok());
    }
    write_rows(3);
    EXPECT_EQ(w.rows_dropped(), 0u);
  }
  // One file, its header once, every row once and in order.
  const std::string text = read(file);
  size_t at = text.find("time,elapsed_s,n,note\r\n");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(text.find("time,", at + 1), std::string::npos);
  for (size_t n = 0; n < rows; ++n) {
    const std::string cell = "," + std::to_string(n) + ",\r\n";
    at = text.find(cell, at);
    ASSERT_NE(at, std::string::npos) << "row " << n << " is missing";
  }
  EXPECT_EQ(names(), std::vector<std::string>{"v-2026-12-06.csv"});
}

}  // namespace
}  // namespace lw
