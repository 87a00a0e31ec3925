#pragma once
// Numbers in files and settings: the shortest decimal text that reads back to
// the same 64-bit float, never in exponent form (21.5, 0.0000001, 100000).
#include <string>

namespace lw {

// Zero of either sign is written "0". Callers pass finite numbers only; an
// infinity is written "inf" or "-inf" and NaN "nan", which read back as such.
std::string format_shortest(double x);
void append_shortest(std::string& out, double x);

}  // namespace lw
