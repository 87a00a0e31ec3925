#include "base/number_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace lw {
namespace {

TEST(FormatShortest, Examples) {
  const std::pair<double, std::string> cases[] = {
      {30, "30"},
      {21.5, "21.5"},
      {-0.25, "-0.25"},
      {0.0000001, "0.0000001"},
      {100000, "100000"},
      {1e22, "10000000000000000000000"},
      {0.1, "0.1"},
      {0.3, "0.3"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1.0 / 3, "0.3333333333333333"},
      {123456789012345680.0, "123456789012345680"},
      {1e21, "1000000000000000000000"},
      {1152921504606846976.0, "1152921504606847000"},  // 2^60: its shortest digits, not all 19
      {1e23, "100000000000000000000000"},              // not exactly representable
      {-1.5e-10, "-0.00000000015"},
      {0.0, "0"},
      {-0.0, "0"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
      {-std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const auto& [x, want] : cases) EXPECT_EQ(format_shortest(x), want);
}

TEST(FormatShortest, Extremes) {
  const std::string max = format_shortest(std::numeric_limits<double>::max());
  EXPECT_EQ(max.size(), 309u);
  EXPECT_EQ(max.substr(0, 17), "17976931348623157");
  EXPECT_EQ(max.find_first_not_of('0', 17), std::string::npos);

  const std::string tiny = format_shortest(-std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(tiny, "-0." + std::string(323, '0') + "5");
}

double read_back(const std::string& s) {
  double x = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), x);
  EXPECT_EQ(r.ec, std::errc()) << s;
  EXPECT_EQ(r.ptr, s.data() + s.size()) << s;
  return x;
}

// The significant digits of the shortest exponent form, for comparison.
size_t shortest_digit_count(double x) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
  const std::string s(buf, r.ptr);
  size_t n = 0;
  for (char c : s.substr(0, s.find('e'))) n += (c >= '0' && c <= '9') ? 1 : 0;
  return n;
}

size_t significant_digit_count(const std::string& s) {
  const size_t first = s.find_first_of("123456789");
  std::string digits;
  for (char c : s.substr(first)) {
    if (c != '.' && c != '-') digits.push_back(c);
  }
  // Trailing zeros of a whole number are place holders, not digits.
  if (s.find('.') == std::string::npos) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  }
  return digits.size();
}

TEST(FormatShortest, RoundTripsWithFewestDigits) {
  std::mt19937_64 rng(12345);
  for (int i = 0; i < 20000; ++i) {
    double x;
    if (i % 2 == 0) {
      // Any bit pattern: every magnitude, subnormals included.
      const uint64_t bits = rng();
      std::memcpy(&x, &bits, sizeof x);
      if (!std::isfinite(x) || x == 0) continue;
    } else {
      // Values like those read from devices: a few decimals.
      x = static_cast<double>(static_cast<int64_t>(rng() % 2000001) - 1000000) / 1000.0;
      if (x == 0) continue;
    }
    const std::string s = format_shortest(x);
    ASSERT_EQ(s.find_first_of("eE"), std::string::npos) << s;
    ASSERT_EQ(read_back(s), x) << s;
    ASSERT_EQ(significant_digit_count(s), shortest_digit_count(x)) << s;
  }
}

// The digits of the shortest exponent form, without point, sign and the
// zeros that only place them.
std::string shortest_digits(double x) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
  std::string digits;
  for (char c : std::string(buf, r.ptr).substr(0, std::string(buf, r.ptr).find('e'))) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

std::string written_digits(const std::string& s) {
  std::string digits;
  for (char c : s) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

TEST(FormatShortest, WritesTheDigitsOfTheShortestForm) {
  // Same count is not enough: of two candidates the nearer one is written.
  std::mt19937_64 rng(777);
  for (int i = 0; i < 200000; ++i) {
    double x;
    switch (i % 4) {
      case 0:  // a few decimals, as devices print them
        x = static_cast<double>(static_cast<int64_t>(rng() % 2000001) - 1000000) /
            std::pow(10.0, static_cast<double>(rng() % 7));
        break;
      case 1:  // halves and quarters, where two neighbours are equally near
        x = static_cast<double>(rng() % 100000) / 4.0 + 0.125;
        break;
      case 2:  // one bit away from a short decimal
        x = std::nextafter(static_cast<double>(rng() % 100000) / 100.0,
                           (rng() % 2) ? 1e300 : -1e300);
        break;
      default: {  // anything
        const uint64_t bits = rng();
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x)) continue;
      }
    }
    if (x == 0) continue;
    const std::string s = format_shortest(x);
    ASSERT_EQ(read_back(s), x) << s;
    ASSERT_EQ(written_digits(s), shortest_digits(x)) << s;
  }
}

TEST(FormatShortest, AppendKeepsWhatIsThere) {
  std::string out = "limit=";
  append_shortest(out, 21.5);
  EXPECT_EQ(out, "limit=21.5");
}

}  // namespace
}  // namespace lw
