#include <iconv.h>

#include <cstdint>

#include "base/cp949_platform.h"

namespace lw::cp949_platform {

namespace {

// One converter per thread: iconv descriptors carry state and are not safe
// to share.
class Converter {
 public:
  Converter() : cd_(iconv_open("UTF-32LE", "CP949")) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1)); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

size_t convert_pair(uint8_t a, uint8_t b, char32_t (&out)[4]) {
  thread_local Converter conv;
  if (!conv.ok()) return 0;
  iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  char in[2] = {static_cast<char>(a), static_cast<char>(b)};
  unsigned char buf[sizeof out];
  char* in_at = in;
  size_t in_left = sizeof in;
  char* out_at = reinterpret_cast<char*>(buf);
  size_t out_left = sizeof buf;
  const size_t irreversible = iconv(conv.get(), &in_at, &in_left, &out_at, &out_left);
  // A failure, a pair only partly used, or a substitute character: refused.
  if (irreversible != 0 || in_left != 0) return 0;
  const size_t n = (sizeof buf - out_left) / 4;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char* p = buf + 4 * i;
    out[i] = static_cast<char32_t>(p[0]) | (static_cast<char32_t>(p[1]) << 8) |
             (static_cast<char32_t>(p[2]) << 16) | (static_cast<char32_t>(p[3]) << 24);
  }
  return n;
}

}  // namespace lw::cp949_platform
