#include "files/save_log.h"

#include <gtest/gtest.h>

#include "files/line_fixtures.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

using test::at;
using test::record;

namespace fs = std::filesystem;

const std::string kBom = "\xEF\xBB\xBF";

TEST(CsvRow, QuotingRule) {
  const Millis t = at(2026, 12, 6, 14, 3, 22, 517);
  EXPECT_EQ(csv_row(record("a,\"b\"", Direction::Received, LineEnding::CrLf, t)),
            "2026-12-06,14:03:22.517,rx,\"a,\"\"b\"\"\",61 2C 22 62 22 0D 0A");
  EXPECT_EQ(csv_row(record("*IDN?", Direction::Sent, LineEnding::Lf, t)),
            "2026-12-06,14:03:22.517,tx,*IDN?,2A 49 44 4E 3F 0A");
  EXPECT_EQ(csv_row(record(" lead", Direction::Received, LineEnding::None, t)),
            "2026-12-06,14:03:22.517,rx,\" lead\",20 6C 65 61 64");
  EXPECT_EQ(csv_row(record("say \"hi\"", Direction::Received, LineEnding::None, t)),
            "2026-12-06,14:03:22.517,rx,\"say \"\"hi\"\"\",73 61 79 20 22 68 69 22");
  // CR inside a line is shown as its picture, so it needs no quotes.
  EXPECT_EQ(csv_row(record("a\rb", Direction::Received, LineEnding::None, t)),
            "2026-12-06,14:03:22.517,rx,a\xE2\x90\x8D"
            "b,61 0D 62");
  const std::string mark = "\xE2\x94\x80\xE2\x94\x80 Port closed 14:03:22 \xE2\x94\x80\xE2\x94\x80";
  EXPECT_EQ(csv_row(record(mark, Direction::Mark, LineEnding::None, t)),
            "2026-12-06,14:03:22.517,mark," + mark + ",");
  // A mark's text is user text too (a note can hold a line break).
  EXPECT_EQ(csv_row(record("Note\nx", Direction::Mark, LineEnding::None, t)),
            "2026-12-06,14:03:22.517,mark,\"Note\nx\",");
}

TEST(SaveFormat, TypeOrExtension) {
  struct Case {
    const char* name;
    size_t type;
    SaveFormat want;
  } cases[] = {
      {"log.txt", 0, SaveFormat::Text},     {"log.csv", 0, SaveFormat::Csv},
      {"log.CSV", 0, SaveFormat::Csv},      {"log.Csv", 0, SaveFormat::Csv},
      {"log.txt", 1, SaveFormat::Csv},      {"log", 1, SaveFormat::Csv},
      {"log.csvx", 0, SaveFormat::Text},    {"csv", 0, SaveFormat::Text},
      {"log.csv.txt", 0, SaveFormat::Text},
  };
  for (const Case& c : cases) EXPECT_EQ(save_format(c.name, c.type), c.want) << c.name;
}

class SaveLogTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    log_.append(record("T=21.5 H=40", Direction::Received, LineEnding::CrLf,
                       at(2026, 12, 6, 14, 3, 22, 517)),
                "");
    log_.append(record("*IDN?", Direction::Sent, LineEnding::CrLf, at(2026, 12, 6, 14, 3, 23)), "");
    log_.append(record("\xE2\x94\x80\xE2\x94\x80 Port closed \xE2\x94\x80\xE2\x94\x80",
                       Direction::Mark, LineEnding::None, at(2026, 12, 6, 14, 3, 24)),
                "");
  }

  Log log_;
  LogOrigin origin_{"COM3", "Arduino Uno", PortSettings{}};
};

TEST_F(SaveLogTest, TextWithTimes) {
  const fs::path path = dir_ / "new folder" / "log.txt";
  const SaveLogResult r = save_log(log_, origin_, path, 0);
  ASSERT_TRUE(r.saved) << r.notice;
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.notice, "Saved: log.txt");
  EXPECT_EQ(r.path, path);
  EXPECT_EQ(read(path), kBom +
                            "# Linewick \xC2\xB7 COM3 \xC2\xB7 Arduino Uno \xC2\xB7 9600 8N1\r\n"
                            "2026-12-06 14:03:22.517  T=21.5 H=40\r\n"
                            "2026-12-06 14:03:23.000  \xE2\x86\x92 *IDN?\r\n"
                            "\xE2\x94\x80\xE2\x94\x80 Port closed \xE2\x94\x80\xE2\x94\x80\r\n");
}

TEST_F(SaveLogTest, TextFollowsTheHexView) {
  log_.set_hex_view(true, "", 10);
  const fs::path path = dir_ / "hex.txt";
  ASSERT_TRUE(save_log(log_, origin_, path, 0).saved);
  const std::string text = read(path);
  EXPECT_NE(text.find("2026-12-06 14:03:23.000  \xE2\x86\x92 2A 49 44 4E 3F 0D 0A\r\n"),
            std::string::npos)
      << text;
}

TEST_F(SaveLogTest, UpperCaseCsvNameWithTheTextTypeWritesCsv) {
  const fs::path path = dir_ / "log.CSV";
  const SaveLogResult r = save_log(log_, origin_, path, 0);
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(r.notice, "Saved: log.CSV");
  EXPECT_EQ(read(path), kBom +
                            "date,time,direction,text,hex\r\n"
                            "2026-12-06,14:03:22.517,rx,T=21.5 H=40,"
                            "54 3D 32 31 2E 35 20 48 3D 34 30 0D 0A\r\n"
                            "2026-12-06,14:03:23.000,tx,*IDN?,2A 49 44 4E 3F 0D 0A\r\n"
                            "2026-12-06,14:03:24.000,mark,"
                            "\xE2\x94\x80\xE2\x94\x80 Port closed \xE2\x94\x80\xE2\x94\x80,\r\n");
}

TEST_F(SaveLogTest, CsvKeepsTextFormInHexView) {
  log_.set_hex_view(true, "", 10);
  const fs::path path = dir_ / "log.csv";
  ASSERT_TRUE(save_log(log_, origin_, path, 1).saved);
  EXPECT_NE(read(path).find(",tx,*IDN?,2A 49"), std::string::npos);
}

TEST_F(SaveLogTest, AFailedWriteSaysSo) {
  write(dir_ / "file", "x");
  const SaveLogResult r = save_log(log_, origin_, dir_ / "file" / "log.txt", 0);
  EXPECT_FALSE(r.saved);
  EXPECT_TRUE(r.error);
  EXPECT_EQ(r.notice, "Couldn't save");
}

TEST_F(SaveLogTest, DialogSetup) {
  EXPECT_TRUE(can_save_log(log_));
  EXPECT_FALSE(can_save_log(Log()));
  EXPECT_EQ(no_log_to_save_text(), "There's no log to save");
  const fs::path folder = dir_ / "Linewick";
  const SaveDialogSetup s = save_dialog_setup(origin_, folder, at(2026, 12, 6, 14, 3, 22, 517));
  EXPECT_EQ(s.title, "Save log");
  ASSERT_EQ(s.types.size(), 2u);
  EXPECT_EQ(s.types[0].label, "Text with times (*.txt)");
  EXPECT_EQ(s.types[0].pattern, "*.txt");
  EXPECT_EQ(s.types[1].label, "CSV (*.csv)");
  EXPECT_EQ(s.types[1].pattern, "*.csv");
  EXPECT_EQ(s.default_extension, "txt");
  EXPECT_EQ(s.suggested_name, "COM3-Arduino Uno-2026-12-06 140322");
  EXPECT_EQ(s.folder, folder);
  EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace lw
