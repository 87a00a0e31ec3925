#include "files/file_names.h"

#include <gtest/gtest.h>

#include "base/utf8.h"
#include "files/line_fixtures.h"

namespace lw {
namespace {

using test::at;
using test::record;

TEST(CleanName, Table) {
  const std::string seventy = std::string(58, 'x') + "... and more text";
  struct Case {
    std::string in, out;
  } cases[] = {
      {"Arduino Uno", "Arduino Uno"},
      {"USB/Serial", "USB Serial"},
      {"Dev: one", "Dev one"},
      {"a<b>c\"d\\e|f?g*h", "a b c d e f g h"},
      {"  many \t\r\n  blanks  ", "many blanks"},
      {"bell\x07here\x7f", "bell here"},
      {"c1\xC2\x85next", "c1 next"},  // U+0085
      {"no\xE3\x80\x80"
       "break",
       "no break"},  // U+3000 ideographic space
      {"trailing...", "trailing"},
      {"dots . . .", "dots"},
      {"", ""},
      {"///", ""},
      {seventy, std::string(58, 'x')},  // cut to 60 ("xx..") then the dots go
  };
  for (const Case& c : cases) EXPECT_EQ(clean_name(c.in), c.out) << c.in;
}

TEST(CleanName, SeventyCharactersKeepSixty) {
  const std::string in(70, 'd');
  EXPECT_EQ(clean_name(in), std::string(60, 'd'));
  // Characters, not bytes: 70 Hangul syllables keep 60 of them.
  std::string hangul;
  for (int i = 0; i < 70; ++i) hangul += "\xEA\xB0\x80";  // 가
  const std::string cleaned = clean_name(hangul);
  EXPECT_EQ(utf32_from_utf8(cleaned).size(), 60u);
  // A cut that leaves a blank at the end removes it too.
  EXPECT_EQ(clean_name(std::string(59, 'a') + " bcd"), std::string(59, 'a'));
}

TEST(FileBase, PortAndDescription) {
  EXPECT_EQ(file_base("COM3", "USB Serial Device"), "COM3-USB Serial Device");
  EXPECT_EQ(file_base("COM3", "Arduino/Uno: R3"), "COM3-Arduino Uno R3");
  EXPECT_EQ(file_base("COM3", "COM3"), "COM3");
  EXPECT_EQ(file_base("COM3", " COM3 "), "COM3");
  EXPECT_EQ(file_base("COM3", ""), "COM3");
  EXPECT_EQ(file_base("/dev/ttyUSB0", "FT232R"), "dev ttyUSB0-FT232R");
}

TEST(FileNames, RecordingEventAndSave) {
  EXPECT_EQ(recording_file_name("COM3", "Arduino Uno", "2026-12-06", 1),
            "COM3-Arduino Uno-2026-12-06.txt");
  EXPECT_EQ(recording_file_name("COM3", "Arduino Uno", "2026-12-06", 2),
            "COM3-Arduino Uno-2026-12-06-2.txt");
  EXPECT_EQ(recording_file_name("COM3", "COM3", "2026-12-06", 1), "COM3-2026-12-06.txt");
  const Millis t = at(2026, 12, 6, 14, 3, 22, 517);
  EXPECT_EQ(event_file_name("COM3", "Arduino Uno", t, "disconnected"),
            "COM3-Arduino Uno-2026-12-06 140322-disconnected.txt");
  EXPECT_EQ(event_file_name("COM3", "", at(2026, 1, 2, 3, 4, 5, 0), "alert: T>30"),
            "COM3-2026-01-02 030405-alert T 30.txt");
  EXPECT_EQ(save_log_name("COM3", "Arduino Uno", t), "COM3-Arduino Uno-2026-12-06 140322");
}

TEST(HeaderLine, Forms) {
  PortSettings s;
  EXPECT_EQ(header_line("COM3", "Arduino Uno", s),
            "# Linewick \xC2\xB7 COM3 \xC2\xB7 Arduino Uno \xC2\xB7 9600 8N1");
  s.baud = 115200;
  s.data_bits = 7;
  s.parity = 2;
  s.stop_bits = 1;
  EXPECT_EQ(header_line("COM7", "", s),
            "# Linewick \xC2\xB7 COM7 \xC2\xB7 - \xC2\xB7 115200 7E1.5");
}

TEST(FileLine, ByKindAndView) {
  const Millis t = at(2026, 12, 6, 14, 3, 22, 517);
  EXPECT_EQ(file_line(record("T=21.5 H=40", Direction::Received, LineEnding::CrLf, t), false),
            "2026-12-06 14:03:22.517  T=21.5 H=40");
  EXPECT_EQ(file_line(record("*IDN?", Direction::Sent, LineEnding::Lf, t), false),
            "2026-12-06 14:03:22.517  \xE2\x86\x92 *IDN?");
  EXPECT_EQ(file_line(record("Hel", Direction::Received, LineEnding::CrLf, t), true),
            "2026-12-06 14:03:22.517  48 65 6C 0D 0A");
  // Control characters are shown as pictures, a tab stays.
  EXPECT_EQ(file_line(record("a\tb\x01", Direction::Received, LineEnding::None, t), false),
            "2026-12-06 14:03:22.517  a\tb\xE2\x90\x81");
  const std::string mark = "\xE2\x94\x80\xE2\x94\x80 Port closed 14:03:22 \xE2\x94\x80\xE2\x94\x80";
  EXPECT_EQ(file_line(record(mark, Direction::Mark, LineEnding::None, t), false), mark);
  EXPECT_EQ(file_line(record(mark, Direction::Mark, LineEnding::None, t), true), mark);
}

}  // namespace
}  // namespace lw
