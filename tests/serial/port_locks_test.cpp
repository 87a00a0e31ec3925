// UUCP lock file names and contents, as every serial program on Linux
// writes and reads them.
#include "serial/port_locks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lw {
namespace {

TEST(UucpLock, NameIsLckAndTheDevicesBaseName) {
  EXPECT_EQ(uucp_lock_name("/dev/ttyUSB0"), "LCK..ttyUSB0");
  EXPECT_EQ(uucp_lock_name("/dev/pts/7"), "LCK..7");
  EXPECT_EQ(uucp_lock_name("ttyS1"), "LCK..ttyS1");
}

TEST(UucpLock, TextIsTenRightAlignedDigitsAndALineFeed) {
  EXPECT_EQ(uucp_lock_text(1230), "      1230\n");
  EXPECT_EQ(uucp_lock_text(4194304), "   4194304\n");
  EXPECT_EQ(uucp_lock_pid(uucp_lock_text(77)), 77);
}

TEST(UucpLock, ReadsTheProcessIdsProgramsWrite) {
  int32_t binary = 4321;
  char raw[4];
  std::memcpy(raw, &binary, sizeof raw);
  const struct {
    std::string content;
    std::optional<int64_t> pid;
  } cases[] = {
      {"      1230\n", 1230},
      {"1230", 1230},  // four digits are text, not the binary form
      {"  42  \r\n", 42},
      {std::string(raw, 4), 4321},
      {"", std::nullopt},
      {"\n", std::nullopt},
      {"0000000000\n", std::nullopt},
      {"12ab\n", std::nullopt},
      {"-5\n", std::nullopt},
      {"12345678901\n", std::nullopt},
      {"pid 12\n", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(uucp_lock_pid(c.content), c.pid) << c.content;
}

TEST(UucpLock, ProgramNameIsCommsFirstLine) {
  EXPECT_EQ(program_name("minicom\n"), "minicom");
  EXPECT_EQ(program_name("screen"), "screen");
  EXPECT_EQ(program_name(""), "");
}

}  // namespace
}  // namespace lw
