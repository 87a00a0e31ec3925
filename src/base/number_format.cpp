#include "base/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

namespace lw {

namespace {

constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr double kTwoTo53 = 9007199254740992.0;

// Most numbers measured from devices have a few decimals, and for them the
// shortest digits are found without the general algorithm: the decimal with
// the fewest places k that reads back to x. For each k, n is the integer
// nearest to |x| * 10^k (exactly so: |x| * 10^k is below 2^53 and the
// product is off by at most half its last bit), and n / 10^k is what reading
// the decimal gives, both being exact doubles. The fewest places give the
// fewest significant digits, and the nearest n is the one the general
// algorithm picks among as many.
bool append_few_places(std::string& out, double x) {
  const double m = std::fabs(x);
  if (!(m < kTwoTo53)) return false;
  // A whole number below 2^53 is its own shortest form.
  uint64_t n = static_cast<uint64_t>(m);
  size_t k = 0;
  if (static_cast<double>(n) != m) {
    for (k = 1;; ++k) {
      if (k == std::size(kPowers)) return false;
      const double y = m * kPowers[k];
      if (y >= kTwoTo53) return false;
      const auto reads_back = [&](uint64_t d) {
        return d != 0 && static_cast<double>(d) / kPowers[k] == m;
      };
      n = static_cast<uint64_t>(y);
      const double rest = y - static_cast<double>(n);
      if (rest == 0.5) {
        // Two nearest decimals: if one reads back, which one is shown is the
        // general algorithm's choice; if neither does, no k-place one does.
        if (reads_back(n) || reads_back(n + 1)) return false;
        continue;
      }
      if (rest > 0.5) ++n;
      if (reads_back(n)) break;
    }
  }
  // Copies of a fixed sixteen bytes (n has at most sixteen digits) need no
  // call; the buffers have room for what is copied past the digits.
  char digits[40] = {};
  const size_t len = static_cast<size_t>(std::to_chars(digits, digits + 24, n).ptr - digits);
  char buf[72];
  size_t w = 0;
  if (x < 0) buf[w++] = '-';
  if (len > k) {
    std::memcpy(buf + w, digits, 16);
    w += len - k;
    if (k > 0) {
      buf[w++] = '.';
      std::memcpy(buf + w, digits + len - k, 16);
      w += k;
    }
  } else {
    buf[w++] = '0';
    buf[w++] = '.';
    std::memset(buf + w, '0', 16);
    w += k - len;
    std::memcpy(buf + w, digits, 16);
    w += len;
  }
  out.append(buf, w);
  return true;
}

}  // namespace

void append_shortest(std::string& out, double x) {
  if (x == 0) {
    out.push_back('0');
    return;
  }
  if (append_few_places(out, x)) return;  // finite numbers only
  if (std::isnan(x)) {
    out.append("nan");
    return;
  }
  if (std::isinf(x)) {
    out.append(x < 0 ? "-inf" : "inf");
    return;
  }
  // The shortest digits come in exponent form ("-1.2345e+22"); they are then
  // written out in full. Fixed notation alone would not do: for large whole
  // numbers it prints every digit of the exact binary value (2^60 as
  // 1152921504606846976, not 1152921504606847000).
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
  const std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
  const size_t e = sci.find('e');
  std::string_view mantissa = sci.substr(0, e);
  if (mantissa.front() == '-') {
    out.push_back('-');
    mantissa.remove_prefix(1);
  }
  char digits[24];
  size_t n = 0;
  for (char c : mantissa) {
    if (c != '.') digits[n++] = c;
  }
  int exponent = 0;
  std::string_view exp_text = sci.substr(e + 1);
  if (exp_text.front() == '+') exp_text.remove_prefix(1);
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exponent);

  const std::string_view d(digits, n);
  // Digits before the decimal point.
  const int whole = exponent + 1;
  if (whole <= 0) {
    out.append("0.");
    out.append(static_cast<size_t>(-whole), '0');
    out.append(d);
  } else if (static_cast<size_t>(whole) >= n) {
    out.append(d);
    out.append(static_cast<size_t>(whole) - n, '0');
  } else {
    out.append(d.substr(0, static_cast<size_t>(whole)));
    out.push_back('.');
    out.append(d.substr(static_cast<size_t>(whole)));
  }
}

std::string format_shortest(double x) {
  std::string out;
  append_shortest(out, x);
  return out;
}

}  // namespace lw
