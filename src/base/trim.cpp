#include "base/trim.h"

#include "base/unicode.h"
#include "base/utf8.h"

namespace lw {

std::string_view trim_white_space(std::string_view s) {
  size_t begin = 0;
  while (begin < s.size()) {
    const Utf8Step step = decode_utf8(s, begin);
    if (step.length == 0 || !unicode::is_white_space(step.scalar)) break;
    begin += step.length;
  }
  size_t end = s.size();
  while (end > begin) {
    size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
    const Utf8Step step = decode_utf8(s, start);
    if (step.length != end - start || !unicode::is_white_space(step.scalar)) break;
    end = start;
  }
  return s.substr(begin, end - begin);
}

namespace {
bool is_ascii_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

std::string_view trim_ascii_space_end(std::string_view s) {
  while (!s.empty() && is_ascii_space(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view trim_ascii_space(std::string_view s) {
  while (!s.empty() && is_ascii_space(s.front())) s.remove_prefix(1);
  return trim_ascii_space_end(s);
}

}  // namespace lw
