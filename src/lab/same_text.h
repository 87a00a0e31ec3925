#pragma once
#include <string_view>

namespace lw {

// Byte-for-byte equality of the short names compared for every value of
// every line: an inline loop costs less than a call to memcmp for a few
// bytes.
inline bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace lw
