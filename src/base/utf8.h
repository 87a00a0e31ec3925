#pragma once
// UTF-8 helpers. Text inside the program is UTF-8; UTF-16 appears only at
// the platform boundary.
#include <cstddef>
#include <string>
#include <string_view>

namespace lw {

struct Utf8Step {
  char32_t scalar = 0;
  size_t length = 0;  // 0: the bytes at the position are not valid UTF-8
};

// Decodes the scalar value that starts at s[pos] (pos < s.size()).
Utf8Step decode_utf8(std::string_view s, size_t pos);
// Length of the longest prefix of s that is valid UTF-8.
size_t valid_utf8_prefix(std::string_view s);
bool is_valid_utf8(std::string_view s);
void append_utf8(std::string& out, char32_t scalar);
// Invalid sequences become U+FFFD.
std::string utf8_sanitize(std::string_view s);
std::u32string utf32_from_utf8(std::string_view s);
std::string utf8_from_utf32(std::u32string_view s);
// Unpaired surrogates become U+FFFD.
std::u16string utf16_from_utf8(std::string_view s);
std::string utf8_from_utf16(std::u16string_view s);

}  // namespace lw
