#include "lab/values_csv.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace lw {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

Millis at(int day, int h, int m, int s, int ms) {
  return millis_from_civil(CivilTime{2026, 12, day, h, m, s, ms});
}

class ValuesCsvTest : public test::TempFolderTest {
 protected:
  std::string file(std::string_view name) { return read(dir_ / std::string(name)); }
};

TEST_F(ValuesCsvTest, NewNameStartsANumberedFileWithBothColumns) {
  ValuesCsvWriter w(dir_, "COM3-values", false);
  const Millis t = at(6, 14, 3, 22, 517);
  ASSERT_TRUE(w.write_row(t, extract_values("T=1"), {}).ok());
  ASSERT_TRUE(w.write_row(t + 1'250, extract_values("T=2 H=5"), {}).ok());
  ASSERT_TRUE(w.write_row(t + 2'000, extract_values("H=6"), {}).ok());
  w.close();
  EXPECT_EQ(names(), (std::vector<std::string>{"COM3-values-2026-12-06-2.csv",
                                               "COM3-values-2026-12-06.csv"}));
  EXPECT_EQ(file("COM3-values-2026-12-06.csv"), std::string(kBom) +
                                                    "time,elapsed_s,T,note\r\n"
                                                    "2026-12-06T14:03:22.517,0.000,1,\r\n");
  EXPECT_EQ(file("COM3-values-2026-12-06-2.csv"), std::string(kBom) +
                                                      "time,elapsed_s,T,H,note\r\n"
                                                      "2026-12-06T14:03:23.767,1.250,2,5,\r\n"
                                                      "2026-12-06T14:03:24.517,2.000,,6,\r\n");
}

TEST_F(ValuesCsvTest, NumbersInShortestFormAndTheFirstOfARepeatedName) {
  ValuesCsvWriter w(dir_, "v", false);
  ValueList values = {{"a", 21.5},
                      {"b", 0.001},
                      {"c", 100000},
                      {"a", 7},
                      {"d", -0.1},
                      {"e", 1e-7},
                      {"f", 123456789012345680.0}};
  ASSERT_TRUE(w.write_row(at(6, 0, 0, 0, 0), values, {}).ok());
  w.close();
  EXPECT_EQ(file("v-2026-12-06.csv"),
            std::string(kBom) +
                "time,elapsed_s,a,b,c,d,e,f,note\r\n"
                "2026-12-06T00:00:00.000,0.000,21.5,0.001,100000,-0.1,0.0000001,"
                "123456789012345680,\r\n");
}

TEST_F(ValuesCsvTest, NoteIsARowWithEmptyValuesAndAQuotedField) {
  ValuesCsvWriter w(dir_, "v", false);
  const Millis t = at(6, 9, 0, 0, 0);
  ASSERT_TRUE(w.write_row(t, extract_values("T=1 H=2"), {}).ok());
  ASSERT_TRUE(w.write_row(t + 500, {}, "pump on, 5 V").ok());
  ASSERT_TRUE(w.write_row(t + 600, {}, "say \"hi\"").ok());
  ASSERT_TRUE(w.write_row(t + 700, {}, "plain").ok());
  ASSERT_TRUE(w.write_row(t + 800, {}, {}).ok());  // nothing to write
  w.close();
  EXPECT_EQ(file("v-2026-12-06.csv"), std::string(kBom) +
                                          "time,elapsed_s,T,H,note\r\n"
                                          "2026-12-06T09:00:00.000,0.000,1,2,\r\n"
                                          "2026-12-06T09:00:00.500,0.500,,,\"pump on, 5 V\"\r\n"
                                          "2026-12-06T09:00:00.600,0.600,,,\"say \"\"hi\"\"\"\r\n"
                                          "2026-12-06T09:00:00.700,0.700,,,plain\r\n");
}

TEST_F(ValuesCsvTest, SharedWriterNamesColumnsByPortAndCountsFromTheFirstRowOfAnyPort) {
  ValuesCsvWriter w(dir_, shared_values_base(), true);
  const Millis t = at(6, 8, 0, 0, 0);
  ASSERT_TRUE(w.write_row(t, extract_values("T=21.5"), {}, "COM3").ok());
  ASSERT_TRUE(w.write_row(t + 100, extract_values("T=19"), {}, "COM4").ok());
  ASSERT_TRUE(w.write_row(t + 2'345, extract_values("T=22"), {}, "COM3").ok());
  w.close();
  EXPECT_EQ(w.columns(), (std::vector<std::string>{"COM3 T", "COM4 T"}));
  EXPECT_EQ(names(), (std::vector<std::string>{"ports-values-2026-12-06-2.csv",
                                               "ports-values-2026-12-06.csv"}));
  EXPECT_EQ(file("ports-values-2026-12-06.csv"), std::string(kBom) +
                                                     "time,elapsed_s,COM3 T,note\r\n"
                                                     "2026-12-06T08:00:00.000,0.000,21.5,\r\n");
  EXPECT_EQ(file("ports-values-2026-12-06-2.csv"), std::string(kBom) +
                                                       "time,elapsed_s,COM3 T,COM4 T,note\r\n"
                                                       "2026-12-06T08:00:00.100,0.100,,19,\r\n"
                                                       "2026-12-06T08:00:02.345,2.345,22,,\r\n");
}

TEST_F(ValuesCsvTest, ColumnNamesAreQuotedWhenTheyNeedIt) {
  ValuesCsvWriter w(dir_, "v", true);
  ASSERT_TRUE(w.write_row(at(6, 8, 0, 0, 0), extract_values("T=1"), {}, "a,b").ok());
  w.close();
  EXPECT_EQ(file("v-2026-12-06.csv"), std::string(kBom) +
                                          "time,elapsed_s,\"a,b T\",note\r\n"
                                          "2026-12-06T08:00:00.000,0.000,1,\r\n");
}

TEST_F(ValuesCsvTest, MidnightStartsAFileNamedWithTheNewDate) {
  ValuesCsvWriter w(dir_, "v", false);
  ASSERT_TRUE(w.write_row(at(6, 23, 59, 59, 999), extract_values("T=1"), {}).ok());
  ASSERT_TRUE(w.write_row(at(7, 0, 0, 0, 1), extract_values("T=2"), {}).ok());
  ASSERT_TRUE(w.write_row(at(7, 0, 0, 1, 0), extract_values("T=3"), {}).ok());
  w.close();
  EXPECT_EQ(names(), (std::vector<std::string>{"v-2026-12-06.csv", "v-2026-12-07.csv"}));
  EXPECT_EQ(file("v-2026-12-07.csv"), std::string(kBom) +
                                          "time,elapsed_s,T,note\r\n"
                                          "2026-12-07T00:00:00.001,0.002,2,\r\n"
                                          "2026-12-07T00:00:01.000,1.001,3,\r\n");
}

TEST_F(ValuesCsvTest, SizeLimitStartsTheNextNumberedFile) {
  // Header 26 bytes, each row 34; the limit is checked before a row goes in.
  ValuesCsvWriter w(dir_, "v", false, 60);
  const Millis t = at(6, 10, 0, 0, 0);
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(w.write_row(t + i, extract_values("T=1"), {}).ok());
  }
  w.close();
  EXPECT_EQ(names(), (std::vector<std::string>{"v-2026-12-06-2.csv", "v-2026-12-06.csv"}));
  const std::string first = file("v-2026-12-06.csv");
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 3);  // header + 2 rows (94 > 60)
  const std::string second = file("v-2026-12-06-2.csv");
  EXPECT_EQ(second.substr(0, 3), kBom);
  EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 3);
}

TEST_F(ValuesCsvTest, ExistingFilesAreNeverWrittenInto) {
  { std::ofstream(dir_ / "v-2026-12-06.csv") << "old"; }
  { std::ofstream(dir_ / "v-2026-12-06-2.csv") << "old"; }
  ValuesCsvWriter w(dir_, "v", false);
  ASSERT_TRUE(w.write_row(at(6, 10, 0, 0, 0), extract_values("T=1"), {}).ok());
  w.close();
  EXPECT_EQ(file("v-2026-12-06.csv"), "old");
  EXPECT_EQ(file("v-2026-12-06-2.csv"), "old");
  EXPECT_EQ(file("v-2026-12-06-3.csv").substr(3, 14), "time,elapsed_s");
  ASSERT_TRUE(w.file_path());
  EXPECT_EQ(w.file_path()->filename(), std::filesystem::path("v-2026-12-06-3.csv"));
}

TEST_F(ValuesCsvTest, RowsWaitInTheBufferUntilFlushed) {
  ValuesCsvWriter w(dir_ / "sub" / "folder", "v", false);  // the folder is made when needed
  ASSERT_TRUE(w.write_row(at(6, 10, 0, 0, 0), extract_values("T=1"), {}).ok());
  const std::filesystem::path path = dir_ / "sub" / "folder" / "v-2026-12-06.csv";
  EXPECT_EQ(read(path), "");
  ASSERT_TRUE(w.flush().ok());
  EXPECT_EQ(read(path), std::string(kBom) +
                            "time,elapsed_s,T,note\r\n"
                            "2026-12-06T10:00:00.000,0.000,1,\r\n");
  EXPECT_EQ(w.bytes_written(), read(path).size());
}

TEST_F(ValuesCsvTest, AFolderThatCannotBeMadeDropsTheRowAndTheNextTriesAgain) {
  const std::filesystem::path blocked = dir_ / "blocked";
  { std::ofstream(blocked) << "x"; }
  ValuesCsvWriter w(blocked / "inner", "v", false);
  EXPECT_FALSE(w.write_row(at(6, 10, 0, 0, 0), extract_values("T=1"), {}).ok());
  std::filesystem::remove(blocked);
  ASSERT_TRUE(w.write_row(at(6, 10, 0, 1, 0), extract_values("T=2"), {}).ok());
  w.close();
  // The first file name was never used, so the next row takes it.
  EXPECT_EQ(read(blocked / "inner" / "v-2026-12-06.csv"),
            std::string(kBom) +
                "time,elapsed_s,T,note\r\n"
                "2026-12-06T10:00:01.000,1.000,2,\r\n");
}

TEST(ValuesCsvBase, NamesFollowTheWords) {
  EXPECT_EQ(tab_values_base("COM3-Arduino Uno"), "COM3-Arduino Uno-values");
  EXPECT_EQ(shared_values_base(), "ports-values");
}

}  // namespace
}  // namespace lw
