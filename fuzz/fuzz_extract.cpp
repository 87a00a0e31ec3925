// The numbers in a line. The extractor walks a line once with views and
// reused buffers; here its result must equal a plain reading of the rules
// (normalise, split, named pass, positional pass, number grammar converted by
// strtod), every value must be finite, names must be labels of the line or
// token numbers, and a reused result list must not leak earlier values.
//
// Input: the line itself.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/unicode.h"
#include "base/utf8.h"
#include "fuzz_support.h"
#include "lab/extract.h"

namespace {

using lw::ExtractedValue;
using lw::ValueList;

bool digit(char c) { return c >= '0' && c <= '9'; }
bool ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool unit_char(char32_t c) {
  return c == U'/' || c == U'%' || c == U'\u00B0' || c == U'\u00B2' || c == U'\u00B3' ||
         c == U'\u00B5' || c == U'\u03A9' || lw::unicode::is_alphabetic(c);
}

std::optional<double> model_number(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < t.size() && digit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && digit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    const size_t first = j;
    while (j < t.size() && digit(t[j])) ++j;
    if (j > first) i = j;
  }
  const std::string_view unit = t.substr(i);
  if (unit.size() >= 2 && (unit[0] == '/' || unit[0] == ':') && digit(unit[1])) {
    return std::nullopt;
  }
  for (size_t k = 0; k < unit.size();) {
    const lw::Utf8Step step = lw::decode_utf8(unit, k);
    if (step.length == 0 || !unit_char(step.scalar)) return std::nullopt;
    k += step.length;
  }
  const std::string number(t.substr(0, i));
  errno = 0;
  const double v = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

bool model_label(std::string_view label) {
  if (label.empty()) return false;
  bool first = true;
  for (size_t k = 0; k < label.size();) {
    const lw::Utf8Step step = lw::decode_utf8(label, k);
    if (step.length == 0) return false;
    const char32_t c = step.scalar;
    bool ok;
    if (c < 0x80) {
      const char a = static_cast<char>(c);
      ok = ascii_letter(a) || a == '_' || (!first && (digit(a) || a == '-' || a == '.'));
    } else {
      ok = lw::unicode::is_alphabetic(c) || (!first && lw::unicode::is_numeric(c));
    }
    if (!ok) return false;
    first = false;
    k += step.length;
  }
  return true;
}

std::vector<std::string> model_tokens(std::string_view line) {
  std::string normal;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ':' || c == '=') {
      while (!normal.empty() && normal.back() == ' ') normal.pop_back();
      normal.push_back(c);
      while (i + 1 < line.size() && line[i + 1] == ' ') ++i;
    } else {
      normal.push_back(c);
    }
  }
  std::vector<std::string> tokens;
  std::string token;
  for (const char c : normal) {
    if (c == '\t' || c == ' ' || c == ',' || c == ';' || c == '|') {
      if (!token.empty()) tokens.push_back(token);
      token.clear();
    } else {
      token.push_back(c);
    }
  }
  if (!token.empty()) tokens.push_back(token);
  return tokens;
}

ValueList model_values(std::string_view line) {
  const std::vector<std::string> tokens = model_tokens(line);
  ValueList named;
  for (const std::string& token : tokens) {
    const size_t sep = token.find_first_of(":=");
    if (sep == std::string::npos) continue;
    const std::string_view label = std::string_view(token).substr(0, sep);
    if (!model_label(label)) continue;
    if (const auto v = model_number(std::string_view(token).substr(sep + 1))) {
      named.push_back(ExtractedValue{std::string(label), *v});
    }
  }
  if (!named.empty()) return named;
  ValueList positional;
  for (size_t k = 0; k < tokens.size(); ++k) {
    if (const auto v = model_number(tokens[k])) {
      positional.push_back(ExtractedValue{std::to_string(k + 1), *v});
    }
  }
  const size_t n = positional.size();
  if (n > 0 && 2 * n < tokens.size() && tokens.size() >= 4) positional.clear();
  return positional;
}

bool same_number(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;  // -0 and 0 differ too
}

bool same_values(const ValueList& a, const ValueList& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || !same_number(a[i].value, b[i].value)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line = lw::fuzz::as_text(data, size);

  const ValueList values = lw::extract_values(line);
  for (const ExtractedValue& v : values) {
    LW_FUZZ_CHECK(std::isfinite(v.value));
    LW_FUZZ_CHECK(!v.name.empty());
    // A label as written in the line, or a token number.
    const bool numbered = v.name.find_first_not_of("0123456789") == std::string::npos;
    LW_FUZZ_CHECK(numbered ? v.name[0] != '0' : line.find(v.name) != std::string_view::npos);
  }
  LW_FUZZ_CHECK(same_values(values, model_values(line)));

  // A list warmed up on another line gives the same answer.
  ValueList reused = lw::extract_values(line.substr(line.size() / 2));
  reused.push_back(ExtractedValue{"stale", 1.0});
  lw::extract_values(line, reused);
  LW_FUZZ_CHECK(same_values(values, reused));

  // The number grammar on the whole text and on each of its tokens.
  const std::optional<double> whole = lw::parse_number_token(line);
  const std::optional<double> whole_model = model_number(line);
  LW_FUZZ_CHECK(whole.has_value() == whole_model.has_value());
  if (whole) LW_FUZZ_CHECK(std::isfinite(*whole) && same_number(*whole, *whole_model));
  for (const std::string& token : model_tokens(line)) {
    const std::optional<double> v = lw::parse_number_token(token);
    const std::optional<double> m = model_number(token);
    LW_FUZZ_CHECK(v.has_value() == m.has_value());
    if (v) LW_FUZZ_CHECK(same_number(*v, *m));
  }
  return 0;
}
