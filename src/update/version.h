#pragma once
// The program's version and how version texts compare.
#include <compare>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lw {

inline constexpr std::string_view kProgramVersion = "0.1.0";

// Trims white space, drops leading "v"s, splits at "." and reads each part
// as a decimal number; a part that isn't one (or is empty, or too large)
// counts as 0. "v1.2" gives 1, 2; "1.2.3-beta" gives 1, 2, 0.
std::vector<uint32_t> version_parts(std::string_view text);

// The shorter list is padded with zeros, so "0.1" equals "0.1.0".
std::strong_ordering compare_versions(std::string_view a, std::string_view b);

// True only when `offered` is greater than `current`.
bool is_newer_version(std::string_view offered, std::string_view current = kProgramVersion);

}  // namespace lw
