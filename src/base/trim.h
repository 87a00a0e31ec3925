#pragma once
#include <string_view>

namespace lw {

// Without Unicode white space at either end.
std::string_view trim_white_space(std::string_view text);

// Without the C locale's spaces (space, tab, CR, LF, VT, FF) at either end,
// or at the end only: for machine-written text.
std::string_view trim_ascii_space(std::string_view text);
std::string_view trim_ascii_space_end(std::string_view text);

}  // namespace lw
