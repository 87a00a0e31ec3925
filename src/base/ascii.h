#pragma once
// ASCII-only text steps: for protocol words, file extensions, hex digits and
// ids, where Unicode rules would be wrong.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

inline constexpr std::string_view kHexUpper = "0123456789ABCDEF";
inline constexpr std::string_view kHexLower = "0123456789abcdef";

constexpr char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

constexpr bool ascii_equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

// 0 to 15, or -1 for anything but 0-9, a-f and A-F.
constexpr int hex_digit_value(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}
constexpr int hex_digit_value(char c) {
  return hex_digit_value(static_cast<char32_t>(static_cast<unsigned char>(c)));
}

// The value of one or more decimal digits and nothing else, at most
// 4294967295.
constexpr std::optional<uint32_t> parse_decimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

// The value of one to eight hex digits and nothing else.
constexpr std::optional<uint32_t> parse_hex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    const int d = hex_digit_value(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return value;
}

}  // namespace lw
