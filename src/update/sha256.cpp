#include "update/sha256.h"

#include "base/ascii.h"

namespace lw {

std::string hex_lower(const Sha256Digest& digest) {
  std::string out;
  out.reserve(digest.size() * 2);
  for (const uint8_t b : digest) {
    out += kHexLower[b >> 4];
    out += kHexLower[b & 0x0F];
  }
  return out;
}

}  // namespace lw
