#include "lab/decimal.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace lw {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// from_chars reports a range error without a value; the number is then
// either below the smallest denormal or above the largest float, which the
// decimal position of its first significant digit tells apart.
bool is_too_small(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
  int64_t lead = 0;  // power of ten of the first significant digit
  bool found = false;
  int64_t int_digits = 0;
  while (i < t.size() && is_digit(t[i])) {
    if (found || t[i] != '0') {
      found = true;
      ++int_digits;
    }
    ++i;
  }
  if (found) {
    lead = int_digits - 1;
  } else if (i < t.size() && t[i] == '.') {
    ++i;
    int64_t pos = -1;
    while (i < t.size() && is_digit(t[i])) {
      if (!found && t[i] != '0') {
        found = true;
        lead = pos;
      }
      --pos;
      ++i;
    }
  }
  while (i < t.size() && (is_digit(t[i]) || t[i] == '.')) ++i;
  int64_t exponent = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    while (i < t.size() && is_digit(t[i])) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (t[i] - '0');
      ++i;
    }
    if (negative) exponent = -exponent;
  }
  return lead + exponent < 0;
}

}  // namespace

std::optional<double> convert_decimal(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, value, std::chars_format::general);
  if (r.ptr != end) return std::nullopt;
  if (r.ec == std::errc::result_out_of_range) {
    const bool negative = !text.empty() && text[0] == '-';
    if (is_too_small(text)) return negative ? -0.0 : 0.0;
    const double inf = std::numeric_limits<double>::infinity();
    return negative ? -inf : inf;
  }
  if (r.ec != std::errc{}) return std::nullopt;
  return value;
}

std::optional<double> read_decimal(std::string_view text) {
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  return convert_decimal(text);
}

}  // namespace lw
