#pragma once
// Code page 949 (Unified Hangul Code): a two-byte pair to its one character.
#include <cstdint>
#include <optional>

namespace lw {

// The character for lead byte a and trail byte b, or nothing when the pair is
// not one character of the code page (conversion with invalid input refused).
std::optional<char32_t> cp949_pair(uint8_t a, uint8_t b);

}  // namespace lw
