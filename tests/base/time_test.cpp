#include "base/time.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

constexpr Millis kDay = 86'400'000;

struct CivilCase {
  Millis t;
  CivilTime c;
};

bool same(const CivilTime& a, const CivilTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second && a.millisecond == b.millisecond;
}

TEST(Time, CivilConversions) {
  const CivilCase cases[] = {
      {0, {1970, 1, 1, 0, 0, 0, 0}},
      {1, {1970, 1, 1, 0, 0, 0, 1}},
      {-1, {1969, 12, 31, 23, 59, 59, 999}},
      {-kDay, {1969, 12, 31, 0, 0, 0, 0}},
      {-kDay - 1, {1969, 12, 30, 23, 59, 59, 999}},
      {951'782'400'000, {2000, 2, 29, 0, 0, 0, 0}},
      {951'868'799'999, {2000, 2, 29, 23, 59, 59, 999}},
      {951'868'800'000, {2000, 3, 1, 0, 0, 0, 0}},
      {4'107'542'400'000, {2100, 3, 1, 0, 0, 0, 0}},  // 2100 is no leap year
      {1'795'615'402'517, {2026, 11, 25, 14, 3, 22, 517}},
      {-2'208'988'800'000, {1900, 1, 1, 0, 0, 0, 0}},
      {-62'135'596'800'000, {1, 1, 1, 0, 0, 0, 0}},
  };
  for (const CivilCase& k : cases) {
    SCOPED_TRACE(k.t);
    EXPECT_TRUE(same(civil_from_millis(k.t), k.c));
    EXPECT_EQ(millis_from_civil(k.c), k.t);
  }
  EXPECT_EQ(days_from_civil(1970, 1, 1), 0);
  EXPECT_EQ(days_from_civil(2000, 2, 29) + 1, days_from_civil(2000, 3, 1));
  EXPECT_EQ(days_from_civil(1900, 3, 1) - days_from_civil(1900, 2, 28), 1);  // no leap day
}

TEST(Time, RoundTripsAcrossCenturies) {
  // Every 7 hours and 13 ms from 1600 to 2400, both directions.
  const Millis step = 7 * 3'600'000 + 13;
  const Millis from = millis_from_civil({1600, 1, 1, 0, 0, 0, 0});
  const Millis to = millis_from_civil({2400, 1, 1, 0, 0, 0, 0});
  int64_t last_day = day_number(from) - 1;
  for (Millis t = from; t < to; t += step) {
    const CivilTime c = civil_from_millis(t);
    ASSERT_EQ(millis_from_civil(c), t);
    ASSERT_GE(c.month, 1);
    ASSERT_LE(c.month, 12);
    ASSERT_EQ(days_from_civil(c.year, c.month, c.day), day_number(t));
    ASSERT_GE(day_number(t), last_day);
    last_day = day_number(t);
  }
}

TEST(Time, Formats) {
  const Millis t = millis_from_civil({2026, 11, 18, 14, 3, 22, 517});
  EXPECT_EQ(format_hms_millis(t), "14:03:22.517");
  EXPECT_EQ(format_date(t), "2026-11-18");
  EXPECT_EQ(format_date_time(t), "2026-11-18 14:03:22.517");
  EXPECT_EQ(format_hms_millis(0), "00:00:00.000");
  EXPECT_EQ(format_date(0), "1970-01-01");
  EXPECT_EQ(format_hms_millis(-1), "23:59:59.999");
  EXPECT_EQ(format_date(-1), "1969-12-31");
  EXPECT_EQ(format_date_time(millis_from_civil({999, 1, 2, 3, 4, 5, 6})),
            "0999-01-02 03:04:05.006");
  EXPECT_EQ(day_number(-1), -1);
  EXPECT_EQ(day_number(kDay - 1), 0);
  EXPECT_EQ(day_number(kDay), 1);
}

}  // namespace
}  // namespace lw
