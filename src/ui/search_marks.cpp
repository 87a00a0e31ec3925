#include "ui/search_marks.h"

#include <string>

#include "base/unicode.h"
#include "base/utf8.h"

namespace lw {

std::vector<CharRange> find_matches(std::string_view text, std::string_view needle, size_t limit) {
  std::vector<CharRange> out;
  if (needle.empty() || text.empty() || limit == 0) return out;
  std::string lowered;
  std::vector<size_t> char_of_byte;  // for each byte of `lowered`
  lowered.reserve(text.size());
  char_of_byte.reserve(text.size());
  size_t chars = 0;
  for (size_t pos = 0; pos < text.size(); ++chars) {
    const Utf8Step step = decode_utf8(text, pos);
    if (step.length == 0) {
      lowered.push_back(text[pos]);
      ++pos;
    } else {
      unicode::append_lower(lowered, step.scalar);
      pos += step.length;
    }
    char_of_byte.resize(lowered.size(), chars);
  }
  size_t from = 0;
  while (out.size() < limit) {
    const size_t at = lowered.find(needle, from);
    if (at == std::string::npos) break;
    const size_t last = at + needle.size() - 1;
    out.push_back({char_of_byte[at], char_of_byte[last] + 1});
    from = at + needle.size();
  }
  return out;
}

}  // namespace lw
