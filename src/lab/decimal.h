#pragma once
// Decimal text to a 64-bit float, correctly rounded.
#include <optional>
#include <string_view>

namespace lw {

// `text` is a decimal number as std::from_chars reads it (no leading "+").
// Out of range, the nearest float is returned: ±0 for a number too small,
// ±infinity for one too large.
std::optional<double> convert_decimal(std::string_view text);

// The standard written form: optional sign, digits, point, exponent, also
// "inf" and "nan". The whole text must be the number.
std::optional<double> read_decimal(std::string_view text);

}  // namespace lw
