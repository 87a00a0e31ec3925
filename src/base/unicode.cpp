#include "base/unicode.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "base/utf8.h"

namespace lw::unicode {

namespace {

struct CodeRange {
  char32_t first;
  char32_t last;
};

// Code points first, first + stride, ... up to last map to themselves + delta.
struct LowerRun {
  char32_t first;
  char32_t last;
  uint8_t stride;
  int32_t delta;
};

// A lower-case form of more than one code point, as UTF-8.
struct FullLower {
  char32_t code;
  std::string_view utf8;
};

#include "base/unicode_tables.inc"

template <class T, size_t N>
const T* last_starting_at_or_before(const T (&table)[N], char32_t c) {
  const T* it = std::upper_bound(std::begin(table), std::end(table), c,
                                 [](char32_t v, const T& entry) { return v < entry.first; });
  return it == std::begin(table) ? nullptr : it - 1;
}

template <size_t N>
bool in_ranges(const CodeRange (&table)[N], char32_t c) {
  const CodeRange* r = last_starting_at_or_before(table, c);
  return r != nullptr && c <= r->last;
}

char32_t simple_lower(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
  const LowerRun* r = last_starting_at_or_before(kLowerRuns, c);
  if (r == nullptr || c > r->last || (c - r->first) % r->stride != 0) return c;
  return static_cast<char32_t>(static_cast<int32_t>(c) + r->delta);
}

const FullLower* full_lower(char32_t c) {
  const auto* it = std::lower_bound(std::begin(kFullLower), std::end(kFullLower), c,
                                    [](const FullLower& e, char32_t v) { return e.code < v; });
  return (it != std::end(kFullLower) && it->code == c) ? it : nullptr;
}

bool is_ascii_letter(char32_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

}  // namespace

bool is_alphabetic(char32_t c) {
  if (c < 0x80) return is_ascii_letter(c);
  return in_ranges(kAlphabetic, c);
}

bool is_numeric(char32_t c) {
  if (c < 0x80) return c >= '0' && c <= '9';
  return in_ranges(kNumeric, c);
}

bool is_white_space(char32_t c) {
  if (c < 0x80) return c == ' ' || (c >= 0x09 && c <= 0x0D);
  return in_ranges(kWhiteSpace, c);
}

void append_lower(std::string& out, char32_t c) {
  if (c >= 0x80) {
    if (const FullLower* f = full_lower(c)) {
      out.append(f->utf8);
      return;
    }
  }
  append_utf8(out, simple_lower(c));
}

std::string to_lower(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    // Runs of ASCII, the usual content of a line, are copied and then
    // lowered in place.
    size_t end = i;
    while (end < s.size() && static_cast<unsigned char>(s[end]) < 0x80) ++end;
    if (end > i) {
      const size_t at = out.size();
      out.append(s.data() + i, end - i);
      for (size_t k = at; k < out.size(); ++k) {
        if (out[k] >= 'A' && out[k] <= 'Z') out[k] = static_cast<char>(out[k] + 0x20);
      }
      i = end;
      continue;
    }
    const Utf8Step step = decode_utf8(s, i);
    if (step.length == 0) {
      out.push_back(s[i]);
      ++i;
      continue;
    }
    append_lower(out, step.scalar);
    i += step.length;
  }
  return out;
}

}  // namespace lw::unicode
