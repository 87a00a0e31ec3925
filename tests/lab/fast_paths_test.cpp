// The shortcuts the per-line pass takes for speed, against what the slow
// way gives: long lines, reused value lists, lines of changing layout, the
// ASCII lowering of text alerts and the exact conversion of short decimals.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "lab/alerts.h"
#include "lab/extract.h"
#include "lab/series.h"
#include "lab/values_csv.h"
#include "support/memory_settings.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

using Pairs = std::vector<std::pair<std::string, double>>;

Pairs pairs(const ValueList& values) {
  Pairs out;
  for (const ExtractedValue& v : values) out.emplace_back(v.name, v.value);
  return out;
}

TEST(ExtractFastPaths, LinesWithMoreTokensThanAreRememberedCountThemAll) {
  // 26 numbers and 4 words: the numbers keep their token numbers.
  std::string line;
  Pairs want;
  for (int i = 1; i <= 26; ++i) {
    line += std::to_string(i) + ".5,";
    want.emplace_back(std::to_string(i), i + 0.5);
  }
  line += "a,b,c,d";
  EXPECT_EQ(pairs(extract_values(line)), want);

  // A named value after them still wins.
  EXPECT_EQ(pairs(extract_values(line + ",T=3")), (Pairs{{"T", 3}}));
}

TEST(ExtractFastPaths, AReusedListTakesLongerNamesWhole) {
  ValueList out;
  extract_values("1,2", out);
  // Names longer than the short-string room of the slots they land in.
  extract_values("a_label_longer_than_sixteen=1 another_long_label_again=2", out);
  EXPECT_EQ(pairs(out),
            (Pairs{{"a_label_longer_than_sixteen", 1}, {"another_long_label_again", 2}}));
  extract_values("x=3 a_label_longer_than_sixteen=4 y=5", out);
  EXPECT_EQ(pairs(out), (Pairs{{"x", 3}, {"a_label_longer_than_sixteen", 4}, {"y", 5}}));
}

TEST(ExtractFastPaths, ShortDecimalsConvertExactlyAsTheGeneralReader) {
  for (const char* t :
       {"21.56", "0.1", "-0.3", "9007199254740993", "9007199254740992.5", "1234567890123456789",
        "12345678901234567890", "0.000000000000000000001", "1e22", "1e23", "5e-22", "5e-23",
        "123.456e-20", "4.9e-324", "1.7976931348623157e308", "000000000000000000000012.5", "-0"}) {
    double want = 0;
    ASSERT_EQ(std::from_chars(t, t + std::strlen(t), want).ec, std::errc{}) << t;
    const std::optional<double> got = parse_number_token(t);
    ASSERT_TRUE(got) << t;
    EXPECT_EQ(std::memcmp(&*got, &want, sizeof want), 0) << t << " read as " << *got;
  }
}

TEST(SeriesFastPaths, LinesOfChangingLayoutFindTheirSeries) {
  TabSeries tab;
  const char* lines[] = {"T=1 H=2", "1,2,3,4", "H=5 T=6", "n=7 T=8", "5,6,7,8", "P=9 H=10"};
  Millis t = 0;
  for (const char* l : lines) tab.append_values(++t, extract_values(l));
  const auto values_of = [&](std::string_view name) {
    std::vector<double> out;
    const Series* s = tab.find(name);
    if (s == nullptr) return out;
    for (size_t i = 0; i < s->points.size(); ++i) out.push_back(s->points[i].value);
    return out;
  };
  EXPECT_EQ(values_of("T"), (std::vector<double>{1, 6, 8}));
  EXPECT_EQ(values_of("H"), (std::vector<double>{2, 5, 10}));
  EXPECT_EQ(values_of("1"), (std::vector<double>{1, 5}));
  EXPECT_EQ(values_of("4"), (std::vector<double>{4, 8}));
  EXPECT_EQ(values_of("n"), (std::vector<double>{7}));
  EXPECT_EQ(values_of("P"), (std::vector<double>{9}));
  EXPECT_EQ(tab.series().size(), 8u);
}

class CsvFastPaths : public test::TempFolderTest {};

TEST_F(CsvFastPaths, ValuesInAnotherOrderGoToTheirOwnColumns) {
  ValuesCsvWriter w(dir_, "v", false);
  const Millis t = millis_from_civil(CivilTime{2026, 12, 6, 14, 3, 59, 998});
  ASSERT_TRUE(w.write_row(t, extract_values("T=1 H=2"), {}).ok());
  ASSERT_TRUE(w.write_row(t + 1, extract_values("H=3 T=4"), {}).ok());
  ASSERT_TRUE(w.write_row(t + 3, extract_values("T=5 T=6 H=7"), {}).ok());
  w.close();
  // Rows within a second and past it: the time is right on both sides.
  EXPECT_EQ(read(dir_ / "v-2026-12-06.csv"),
            "\xEF\xBB\xBF"
            "time,elapsed_s,T,H,note\r\n"
            "2026-12-06T14:03:59.998,0.000,1,2,\r\n"
            "2026-12-06T14:03:59.999,0.001,4,3,\r\n"
            "2026-12-06T14:04:00.001,0.003,5,7,\r\n");
}

TEST_F(CsvFastPaths, SharedColumnsKeepPortsApartForTheSameName) {
  ValuesCsvWriter w(dir_, "ports-values", true);
  const Millis t = millis_from_civil(CivilTime{2026, 12, 6, 10, 0, 0, 0});
  ASSERT_TRUE(w.write_row(t, extract_values("T=1"), {}, "COM3").ok());
  ASSERT_TRUE(w.write_row(t, extract_values("T=2"), {}, "COM4").ok());
  ASSERT_TRUE(w.write_row(t, extract_values("T=3"), {}, "COM3").ok());
  EXPECT_EQ(w.columns(), (std::vector<std::string>{"COM3 T", "COM4 T"}));
  w.close();
  const std::string text = read(dir_ / "ports-values-2026-12-06-2.csv");
  EXPECT_NE(text.find("2026-12-06T10:00:00.000,0.000,3,,\r\n"), std::string::npos) << text;
}

class AlertFastPaths : public ::testing::Test {
 protected:
  AlertFastPaths() : book(settings, clock) {}
  bool fires(std::string_view text) {
    clock.mono += 2'000;
    return book.check_line(tab, next++, 0, 0, text, {}, "COM3").fired;
  }
  test::MemorySettings settings;
  test::ManualClock clock;
  AlertBook book;
  TabAlerts tab;
  uint64_t next = 0;
};

TEST_F(AlertFastPaths, TextFoundAtEveryPlaceAndLengthOfTheLine) {
  ASSERT_TRUE(book.add_text_alert("ErRoR"));
  // Lowered eight bytes at a time, the rest overlapping: every length and
  // place, near the ends included.
  for (size_t before = 0; before < 12; ++before) {
    for (size_t after = 0; after < 12; ++after) {
      const std::string pad_a(before, 'x');
      const std::string pad_b(after, 'Y');
      EXPECT_TRUE(fires(pad_a + "ERROR" + pad_b)) << before << " " << after;
      EXPECT_FALSE(fires(pad_a + "ERRO" + pad_b)) << before << " " << after;
    }
  }
}

TEST_F(AlertFastPaths, LinesBeyondAsciiAreLoweredByTheFullRule) {
  ASSERT_TRUE(book.add_text_alert("5 k"));
  EXPECT_TRUE(fires("12345678 5 \xE2\x84\xAA"));  // the Kelvin sign lowers to k
  EXPECT_TRUE(fires("\xC3\x84 and 5 K"));
  EXPECT_FALSE(fires("\xC3\x84 and 5 x"));
}

}  // namespace
}  // namespace lw
