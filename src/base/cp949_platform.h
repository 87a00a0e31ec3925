#pragma once
// The system's code page 949 converter, behind cp949_pair.
#include <cstddef>
#include <cstdint>

namespace lw::cp949_platform {

// Converts the two bytes as one piece of code page 949 text into out (UTF-16
// units on Windows, scalar values elsewhere). Returns how many were written,
// or 0 when the system refuses the bytes.
size_t convert_pair(uint8_t a, uint8_t b, char32_t (&out)[4]);

}  // namespace lw::cp949_platform
