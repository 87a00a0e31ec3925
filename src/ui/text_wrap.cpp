#include "ui/text_wrap.h"

#include "base/unicode.h"
#include "base/utf8.h"

namespace lw {

std::vector<std::string> two_lines(Gfx& gfx, std::string_view text, float width,
                                   TextFormat format) {
  if (gfx.measure_text(text, format) <= width) return {std::string(text)};
  const std::u32string u = utf32_from_utf8(text);
  const auto fits = [&](size_t n) {
    return gfx.measure_text(utf8_from_utf32(std::u32string_view(u).substr(0, n)), format) <= width;
  };
  // The last blank with a first line that fits before it.
  size_t cut = 0;
  size_t rest = 0;
  for (size_t i = u.size(); i-- > 1;) {
    if (unicode::is_white_space(u[i]) && !unicode::is_white_space(u[i - 1]) && fits(i)) {
      cut = i;
      rest = i;
      break;
    }
  }
  if (cut == 0) {
    cut = 1;
    while (cut + 1 < u.size() && fits(cut + 1)) ++cut;
    rest = cut;
  }
  while (rest < u.size() && unicode::is_white_space(u[rest])) ++rest;
  const std::u32string_view all(u);
  return {utf8_from_utf32(all.substr(0, cut)), utf8_from_utf32(all.substr(rest))};
}

}  // namespace lw
