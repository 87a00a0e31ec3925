#include <time.h>

#include "base/time.h"

namespace lw {

Millis local_now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  // tm_gmtoff is the offset in force at that instant, so this is the local
  // date and time read as if it were UTC.
  return (static_cast<Millis>(ts.tv_sec) + local.tm_gmtoff) * 1000 + ts.tv_nsec / 1'000'000;
}

}  // namespace lw
