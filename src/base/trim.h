#pragma once
#include <string_view>

namespace lw {

// Without Unicode white space at either end.
std::string_view trim_white_space(std::string_view text);

}  // namespace lw
