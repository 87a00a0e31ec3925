#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "lab/series.h"

namespace lw {

namespace {

// 1e-4 .. 1e7 as the compiler rounds them, so both targets agree on where a
// power of ten begins (no log10 at the edges).
constexpr std::array<double, 12> kPowers = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1,
                                            1e2,  1e3,  1e4,  1e5,  1e6, 1e7};

std::string exponent_form(double x) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 3);
  const std::string_view text(buf, static_cast<size_t>(r.ptr - buf));
  const size_t e = text.find('e');
  if (e == std::string_view::npos) return std::string(text);  // inf, nan
  std::string out(text.substr(0, e + 1));
  std::string_view exp = text.substr(e + 1);
  if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
    if (exp[0] == '-') out += '-';
    exp.remove_prefix(1);
  }
  while (exp.size() > 1 && exp[0] == '0') exp.remove_prefix(1);
  out += exp;
  return out;
}

}  // namespace

std::string format_value(double x) {
  if (x == 0) return "0";
  const double m = std::fabs(x);
  if (!std::isfinite(x) || m < kPowers.front() || m >= kPowers.back()) return exponent_form(x);
  int k = -4;  // 10^k <= m < 10^(k+1)
  while (k < 6 && m >= kPowers[static_cast<size_t>(k + 5)]) ++k;
  const int decimals = std::clamp(5 - k, 0, 6);
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
  std::string out(buf, static_cast<size_t>(r.ptr - buf));
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  if (out == "-0") return "0";
  return out;
}

}  // namespace lw
