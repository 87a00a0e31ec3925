#include "lab/extract.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace lw {
namespace {

using Pairs = std::vector<std::pair<std::string, double>>;

Pairs pairs(const ValueList& values) {
  Pairs out;
  for (const ExtractedValue& v : values) out.emplace_back(v.name, v.value);
  return out;
}

struct LineCase {
  const char* line;
  Pairs expected;
};

class ExtractValues : public ::testing::TestWithParam<LineCase> {};

TEST_P(ExtractValues, FindsTheValuesOfTheLine) {
  const LineCase& c = GetParam();
  EXPECT_EQ(pairs(extract_values(c.line)), c.expected) << "line: " << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ExtractValues,
    ::testing::Values(
        // Named values, and blanks around ":" and "=".
        LineCase{"T=21.5 H=40", {{"T", 21.5}, {"H", 40}}},
        LineCase{"T = 21.5 , H = 40", {{"T", 21.5}, {"H", 40}}}, LineCase{"T =21.5", {{"T", 21.5}}},
        LineCase{"T= 21.5", {{"T", 21.5}}}, LineCase{"Temp : 23.1 C", {{"Temp", 23.1}}},
        LineCase{"Temp: 23.1C", {{"Temp", 23.1}}},
        // Tabs are not removed around "=": "T", "=5" and nothing named.
        LineCase{"T\t=5", {}}, LineCase{"T=1 T=2", {{"T", 1}, {"T", 2}}},
        // Once a named value is found, bare numbers are ignored.
        LineCase{"T=21.5 22.0", {{"T", 21.5}}}, LineCase{"22.0 T=21.5 23", {{"T", 21.5}}},
        LineCase{"T=abc 5", {{"2", 5}}}, LineCase{"x:1 y:2 z:3", {{"x", 1}, {"y", 2}, {"z", 3}}},
        LineCase{"Time:12:30:45", {}}, LineCase{"12:30 T=5", {{"T", 5}}},
        // Label rules, including Unicode letters and digits.
        LineCase{"_a=1", {{"_a", 1}}}, LineCase{"a.b-c_d=2", {{"a.b-c_d", 2}}},
        LineCase{"\xEC\x98\xA8\xEB\x8F\x84=21.5", {{"\xEC\x98\xA8\xEB\x8F\x84", 21.5}}},
        LineCase{"x\xC2\xB2=4", {{"x\xC2\xB2", 4}}},  // ² is Numeric
        LineCase{"x\xD9\xA3=4", {{"x\xD9\xA3", 4}}},  // Arabic-Indic digit three
        LineCase{"\xD9\xA3x=4", {}},                  // a digit may not come first
        LineCase{"1a=3", {}}, LineCase{"-x=4", {}}, LineCase{"a b=5", {{"b", 5}}},
        LineCase{"a b = 5", {{"b", 5}}}, LineCase{"=5", {}}, LineCase{":5", {}},
        LineCase{"T==5", {}}, LineCase{"V=3.3V", {{"V", 3.3}}},
        // Positional values and the looks-like-data rule.
        LineCase{"1.2,3.4,5.6", {{"1", 1.2}, {"2", 3.4}, {"3", 5.6}}},
        LineCase{"Temperature 21.5 C", {{"2", 21.5}}}, LineCase{"Reading 1 of 10 done", {}},
        LineCase{"Vbat 3.71 V", {{"2", 3.71}}}, LineCase{"a,b,1,c", {}},
        LineCase{"a,1,2,b", {{"2", 1}, {"3", 2}}}, LineCase{"21,5", {{"1", 21}, {"2", 5}}},
        // The five separators; empty tokens are dropped and not counted.
        LineCase{"1\t2 3,4;5|6", {{"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}}},
        LineCase{",,1,,;;2||", {{"1", 1}, {"2", 2}}}, LineCase{"  7  ", {{"1", 7}}},
        LineCase{"", {}}, LineCase{" \t,;|  ", {}},
        // Rejected tokens among numbers.
        LineCase{"inf nan 1e400 \xE2\x88\x92"
                 "5",
                 {}},
        LineCase{"0x1F 12/05 12:30", {}}, LineCase{"1.2.3 x2 12-3 2024/01/05", {}}));

struct TokenCase {
  const char* token;
  std::optional<double> expected;
};

class ParseNumberToken : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ParseNumberToken, ReadsTheNumberWithItsUnit) {
  const TokenCase& c = GetParam();
  const std::optional<double> got = parse_number_token(c.token);
  ASSERT_EQ(got.has_value(), c.expected.has_value()) << "token: " << c.token;
  if (got) {
    EXPECT_EQ(*got, *c.expected) << "token: " << c.token;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ParseNumberToken,
    ::testing::Values(TokenCase{"+5", 5}, TokenCase{"-0.5", -0.5}, TokenCase{".5", 0.5},
                      TokenCase{"5.", 5}, TokenCase{"1e5", 1e5}, TokenCase{"1E-3V", 1e-3},
                      TokenCase{"2.5e+3Hz", 2500}, TokenCase{"3e", 3},
                      TokenCase{"3e+", std::nullopt}, TokenCase{"21.5C", 21.5},
                      TokenCase{"40%", 40}, TokenCase{"3.3V", 3.3}, TokenCase{"12.5km/h", 12.5},
                      TokenCase{"25\xC2\xB0"
                                "C",
                                25},
                      TokenCase{"5m\xC2\xB2", 5}, TokenCase{"2m\xC2\xB3", 2},
                      TokenCase{"7\xC2\xB5s", 7}, TokenCase{"10k\xCE\xA9", 10}, TokenCase{"5/s", 5},
                      TokenCase{"4\xEB\x8F\x84", 4},  // a Hangul unit
                      TokenCase{"", std::nullopt}, TokenCase{"+", std::nullopt},
                      TokenCase{"-", std::nullopt}, TokenCase{".", std::nullopt},
                      TokenCase{"-.", std::nullopt}, TokenCase{"-.5", -0.5},
                      TokenCase{"inf", std::nullopt}, TokenCase{"nan", std::nullopt},
                      TokenCase{"1e400", std::nullopt}, TokenCase{"-1e400", std::nullopt},
                      TokenCase{"\xE2\x88\x92"
                                "5",
                                std::nullopt},
                      TokenCase{"1.2.3", std::nullopt}, TokenCase{"0x1F", std::nullopt},
                      TokenCase{"x2", std::nullopt}, TokenCase{"12-3", std::nullopt},
                      TokenCase{"12/05", std::nullopt}, TokenCase{"2024/01/05", std::nullopt},
                      TokenCase{"12:30", std::nullopt}, TokenCase{"12:30:45", std::nullopt},
                      TokenCase{"5#", std::nullopt}, TokenCase{"5V2", std::nullopt},
                      TokenCase{"=5", std::nullopt}, TokenCase{"++5", std::nullopt},
                      TokenCase{"5\xE2\x82\xAC", std::nullopt}));

TEST(ParseNumberToken, ConvertsToTheNearestFloat) {
  // Correctly rounded, including the halfway cases a naive digit loop misses.
  EXPECT_EQ(*parse_number_token("0.1"), 0.1);
  EXPECT_EQ(*parse_number_token("2.2250738585072011e-308"), 2.2250738585072011e-308);
  EXPECT_EQ(*parse_number_token("9007199254740993"), 9007199254740992.0);
  EXPECT_EQ(*parse_number_token("1.7976931348623157e308"), std::numeric_limits<double>::max());
  // Too small for a float is the nearest float, zero, not a refusal.
  const std::optional<double> tiny = parse_number_token("-1e-400");
  ASSERT_TRUE(tiny);
  EXPECT_EQ(*tiny, 0.0);
  EXPECT_TRUE(std::signbit(*tiny));
  EXPECT_FALSE(parse_number_token("1e309"));
}

TEST(ExtractValuesInto, ReplacesTheListAndReusesIt) {
  ValueList out;
  extract_values("alpha_long_series_name_here=1 b=2 c=3", out);
  ASSERT_EQ(out.size(), 3u);
  extract_values("1.5,2.5", out);
  EXPECT_EQ(pairs(out), (Pairs{{"1", 1.5}, {"2", 2.5}}));
  extract_values("nothing here", out);
  EXPECT_TRUE(out.empty());
  // Positional values found before the first named one give way to it.
  extract_values("1 2 3 T=4", out);
  EXPECT_EQ(pairs(out), (Pairs{{"T", 4}}));
}

TEST(ExtractValues, JoinsTokensAcrossBlanksAroundSeparators) {
  // The label and value text come from the normalised text.
  EXPECT_EQ(pairs(extract_values("a :  b = 5 ,c  : 12 : 30")), (Pairs{}));
  EXPECT_EQ(pairs(extract_values("Volt   :   3.3  V")), (Pairs{{"Volt", 3.3}}));
  EXPECT_EQ(pairs(extract_values("long label here = 7")), (Pairs{{"here", 7}}));
}

}  // namespace
}  // namespace lw
