#pragma once
// Lines and times for the file tests.
#include <string_view>

#include "base/time.h"
#include "session/records.h"

namespace lw::test {

inline Millis at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
  return millis_from_civil(CivilTime{y, mo, d, h, mi, s, ms});
}

inline LineRecord record(std::string_view bytes, Direction dir, LineEnding ending, Millis time) {
  LineRecord r;
  r.bytes = Bytes(bytes);
  r.direction = dir;
  r.ending = ending;
  r.time = time;
  return r;
}

}  // namespace lw::test
