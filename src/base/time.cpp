#include "base/time.h"

#include <chrono>
#include <cstdio>

namespace lw {

namespace {
constexpr int64_t kMsPerDay = 86'400'000;

int64_t floor_div(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
}  // namespace

int64_t days_from_civil(int year, int month, int day) {
  int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = floor_div(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilTime civil_from_millis(Millis t) {
  const int64_t days = floor_div(t, kMsPerDay);
  int64_t rest = t - days * kMsPerDay;
  const int64_t z = days + 719468;
  const int64_t era = floor_div(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  CivilTime c;
  c.year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  c.month = static_cast<int>(m);
  c.day = static_cast<int>(d);
  c.hour = static_cast<int>(rest / 3'600'000);
  rest %= 3'600'000;
  c.minute = static_cast<int>(rest / 60'000);
  rest %= 60'000;
  c.second = static_cast<int>(rest / 1000);
  c.millisecond = static_cast<int>(rest % 1000);
  return c;
}

Millis millis_from_civil(const CivilTime& c) {
  return days_from_civil(c.year, c.month, c.day) * kMsPerDay + c.hour * 3'600'000LL +
         c.minute * 60'000LL + c.second * 1000LL + c.millisecond;
}

int64_t day_number(Millis t) { return floor_div(t, kMsPerDay); }

std::string format_hms_millis(Millis t) {
  const CivilTime c = civil_from_millis(t);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", c.hour, c.minute, c.second, c.millisecond);
  return buf;
}

std::string format_date(Millis t) {
  const CivilTime c = civil_from_millis(t);
  char buf[24];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day);
  return buf;
}

std::string format_date_time(Millis t) { return format_date(t) + " " + format_hms_millis(t); }

int64_t monotonic_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

namespace {
class SystemClock final : public Clock {
 public:
  Millis local_now() override { return lw::local_now(); }
  int64_t monotonic_ms() override { return lw::monotonic_ms(); }
};
}  // namespace

Clock& system_clock() {
  static SystemClock clock;
  return clock;
}

}  // namespace lw
