#pragma once
// Labels that may take a second line where one is too narrow for them.
#include <string>
#include <string_view>
#include <vector>

#include "gfx/gfx.h"

namespace lw {

// The text as one line when it fits `width`, else as two: broken at the
// last blank that lets the first line fit, or, in text without such a
// blank (Chinese, Japanese, one long word), after the last character that
// does. A second line still too long is left for draw_text to trim.
std::vector<std::string> two_lines(Gfx& gfx, std::string_view text, float width, TextFormat format);

}  // namespace lw
