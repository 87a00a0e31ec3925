#pragma once
// Times are signed milliseconds since 1970-01-01 00:00:00.000 of the local
// wall clock: the local date and time read as if they were UTC, never
// converted between time zones.
#include <cstdint>
#include <string>

namespace lw {

using Millis = int64_t;

struct CivilTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Proleptic Gregorian day count, valid far beyond any clock.
int64_t days_from_civil(int year, int month, int day);
CivilTime civil_from_millis(Millis t);
Millis millis_from_civil(const CivilTime& c);

std::string format_hms_millis(Millis t);  // HH:MM:SS.mmm
std::string format_date(Millis t);        // YYYY-MM-DD
std::string format_date_time(Millis t);   // YYYY-MM-DD HH:MM:SS.mmm
// The local day a time falls on, as days since 1970-01-01.
int64_t day_number(Millis t);

// Platform clocks.
Millis local_now();      // local wall clock
int64_t monotonic_ms();  // steady, for short intervals

// A clock that can be replaced in tests.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Millis local_now() = 0;
  virtual int64_t monotonic_ms() = 0;
};

Clock& system_clock();

}  // namespace lw
