#include "lab/extract.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/unicode.h"
#include "base/utf8.h"
#include "lab/decimal.h"
#include "lab/same_text.h"

namespace lw {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What each byte is to the walk, to labels and to units. Bytes of
// multi-byte UTF-8 scalars are ordinary (none of them is an ASCII byte) and
// take the decoding path in labels and units.
enum : uint8_t {
  kOrdinary = 1,     // part of a token: none of the five below
  kBlank = 2,        // " "
  kSeparator = 4,    // ":", "="
  kBreak = 8,        // tab, ",", ";", "|"
  kLabelStart = 16,  // ASCII letter, "_"
  kLabelRest = 32,   // ASCII letter or digit, "-", ".", "_"
  kUnitAscii = 64,   // ASCII letter, "/", "%"
};

constexpr std::array<uint8_t, 256> kByteKinds = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    uint8_t k = kOrdinary;
    if (c == ' ') {
      k = kBlank;
    } else if (c == ':' || c == '=') {
      k = kSeparator;
    } else if (c == '\t' || c == ',' || c == ';' || c == '|') {
      k = kBreak;
    }
    if (letter || c == '_') k |= kLabelStart;
    if (letter || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_') k |= kLabelRest;
    if (letter || c == '/' || c == '%') k |= kUnitAscii;
    t[static_cast<size_t>(c)] = k;
  }
  return t;
}();

uint8_t kind_of(char c) { return kByteKinds[static_cast<unsigned char>(c)]; }

bool unit_scalar_ok(char32_t c) {
  switch (c) {
    case U'\u00B0':  // °
    case U'\u00B2':  // ²
    case U'\u00B3':  // ³
    case U'\u00B5':  // µ
    case U'\u03A9':  // Ω
      return true;
    default:
      return unicode::is_alphabetic(c);
  }
}

// The whole unit rule; plain ASCII units are settled before they get here.
[[gnu::noinline]] bool unit_ok(std::string_view unit) {
  // A digit right after "/" or ":" is a date or a clock time.
  if (unit.size() >= 2 && (unit[0] == '/' || unit[0] == ':') && is_digit(unit[1])) return false;
  for (size_t i = 0; i < unit.size();) {
    if (kind_of(unit[i]) & kUnitAscii) {
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(unit[i]) < 0x80) return false;
    const Utf8Step step = decode_utf8(unit, i);
    if (step.length == 0 || !unit_scalar_ok(step.scalar)) return false;
    i += step.length;
  }
  return true;
}

// The whole label rule; plain ASCII labels are settled before they get here.
[[gnu::noinline]] bool label_ok(std::string_view label) {
  if (label.empty()) return false;
  uint8_t want = kLabelStart;
  for (size_t i = 0; i < label.size();) {
    const uint8_t k = kind_of(label[i]);
    if (k & want) {
      ++i;
    } else if (static_cast<unsigned char>(label[i]) >= 0x80) {
      const Utf8Step step = decode_utf8(label, i);
      if (step.length == 0) return false;
      const bool ok = unicode::is_alphabetic(step.scalar) ||
                      (want == kLabelRest && unicode::is_numeric(step.scalar));
      if (!ok) return false;
      i += step.length;
    } else {
      return false;
    }
    want = kLabelRest;
  }
  return true;
}

// Exact powers of ten for the short-decimal conversion.
constexpr std::array<double, 23> kExactPowers = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr uint64_t kExactMantissa = uint64_t{1} << 53;

[[gnu::noinline]] bool convert_slow(std::string_view number, double& out) {
  const std::optional<double> v = convert_decimal(number);
  if (!v || !std::isfinite(*v)) return false;
  out = *v;
  return true;
}

// The number-with-unit grammar over p[0, n), inlined into the walk.
[[gnu::always_inline]] inline bool read_number(const char* p, size_t n, double& out) {
  size_t i = 0;
  const bool plus = n > 0 && p[0] == '+';
  const bool minus = n > 0 && p[0] == '-';
  if (plus || minus) ++i;
  // The digits gathered on the way; exact while there are at most 19.
  uint64_t mantissa = 0;
  const size_t int_begin = i;
  while (i < n) {
    const unsigned d = static_cast<unsigned char>(p[i]) - unsigned{'0'};
    if (d > 9) break;
    mantissa = mantissa * 10 + d;
    ++i;
  }
  size_t digits = i - int_begin;
  size_t fraction = 0;
  if (i < n && p[i] == '.') {
    ++i;
    const size_t frac_begin = i;
    while (i < n) {
      const unsigned d = static_cast<unsigned char>(p[i]) - unsigned{'0'};
      if (d > 9) break;
      mantissa = mantissa * 10 + d;
      ++i;
    }
    fraction = i - frac_begin;
    digits += fraction;
  }
  if (digits == 0) return false;
  size_t number_end = i;
  int64_t exponent = 0;
  if (i < n && (p[i] == 'e' || p[i] == 'E')) {
    size_t j = i + 1;
    const bool negative = j < n && p[j] == '-';
    if (j < n && (p[j] == '+' || p[j] == '-')) ++j;
    size_t k = j;
    while (k < n && is_digit(p[k])) {
      if (exponent < 1'000'000) exponent = exponent * 10 + (p[k] - '0');
      ++k;
    }
    if (k > j) {
      number_end = k;  // without a digit the "e" starts the unit
      if (negative) exponent = -exponent;
    } else {
      exponent = 0;
    }
  }
  if (number_end < n) {
    // A unit of ASCII letters, "/" and "%" is good as it stands (a date has
    // a digit in it, so it is not one of those); any other goes to the rule.
    uint8_t all = kUnitAscii;
    for (size_t k = number_end; k < n; ++k) all &= kind_of(p[k]);
    if (all == 0 && !unit_ok(std::string_view(p + number_end, n - number_end))) return false;
  }
  // A short decimal converts exactly: the mantissa and the power of ten are
  // both exact doubles, so one multiplication or division rounds correctly.
  const int64_t scale = exponent - static_cast<int64_t>(fraction);
  if (digits <= 19 && mantissa <= kExactMantissa && scale >= -22 && scale <= 22) {
    const double m = static_cast<double>(mantissa);
    const double v = scale < 0 ? m / kExactPowers[static_cast<size_t>(-scale)]
                               : m * kExactPowers[static_cast<size_t>(scale)];
    out = minus ? -v : v;
    return true;
  }
  const size_t from = plus ? 1 : 0;
  return convert_slow(std::string_view(p + from, number_end - from), out);
}

// One token of the normalised line.
struct Token {
  std::string_view head;     // all of it, or the label when it has a separator
  bool named = false;        // it holds ":" or "="
  bool label_plain = false;  // the label is good ASCII (else label_ok decides)
  // The value text, when it holds no further ":" or "=" (only such a value
  // can be a number); that also makes it one run of the line.
  bool value_plain = false;
  std::string_view value;
};

// Walks the line once, normalising blanks around ":" and "=" and cutting it
// into tokens as it goes, one token per call of next().
//
// Normalising only ever drops blanks next to a ":" or "=", so a token's text
// before its first separator is one run of the line. A value text that
// normalising joins across blanks ("a : 12 : 30") always holds a further
// separator and so is never a number: it is skipped, never copied.
class TokenWalker {
 public:
  TokenWalker(const char* s, size_t n) : s_(s), n_(n) {}

  [[gnu::always_inline]] bool next(Token& t) {
    const char* const s = s_;
    const size_t n = n_;
    size_t i = at_;
    while (i < n && (kind_of(s[i]) & (kBlank | kBreak))) ++i;
    if (i == n) return false;
    const size_t head_begin = i;
    uint8_t all = kLabelRest;
    while (i < n) {
      const uint8_t k = kind_of(s[i]);
      if (!(k & kOrdinary)) break;
      all &= k;
      ++i;
    }
    t.head = std::string_view(s + head_begin, i - head_begin);
    // Blanks before a separator are dropped: the token goes on across them.
    size_t j = i;
    while (j < n && s[j] == ' ') ++j;
    if (j == n || !(kind_of(s[j]) & kSeparator)) {
      t.named = false;
      at_ = j;
      return true;
    }
    t.named = true;
    t.label_plain = all != 0 && i > head_begin && (kind_of(s[head_begin]) & kLabelStart);
    i = j + 1;
    while (i < n && s[i] == ' ') ++i;
    const size_t value_begin = i;
    while (i < n && (kind_of(s[i]) & kOrdinary)) ++i;
    t.value = std::string_view(s + value_begin, i - value_begin);
    t.value_plain = true;
    // The rest of the token: separators, blanks next to them, and the
    // ordinary runs between.
    while (i < n) {
      const uint8_t k = kind_of(s[i]);
      if (k & kOrdinary) {
        ++i;
      } else if (k & kSeparator) {
        t.value_plain = false;
        ++i;
        while (i < n && s[i] == ' ') ++i;
      } else if (k & kBlank) {
        size_t m = i + 1;
        while (m < n && s[m] == ' ') ++m;
        if (m == n || !(kind_of(s[m]) & kSeparator)) break;
        t.value_plain = false;
        i = m;
      } else {
        break;
      }
    }
    at_ = i;
    return true;
  }

 private:
  const char* s_;
  size_t n_;
  size_t at_ = 0;
};

// Fills `out` from its start, reusing its elements.
class ValueSink {
 public:
  explicit ValueSink(ValueList& out) : out_(out) {}

  void put(std::string_view name, double value) {
    if (used_ < out_.size()) {
      ExtractedValue& slot = out_[used_];
      // Lines repeat their names, so the slot mostly holds this one already.
      if (!same_text(slot.name, name)) rename(slot, name);
      slot.value = value;
    } else {
      out_.push_back(ExtractedValue{std::string(name), value});
    }
    ++used_;
  }
  size_t used() const { return used_; }
  void drop_all() { used_ = 0; }
  void finish() { out_.erase(out_.begin() + static_cast<std::ptrdiff_t>(used_), out_.end()); }

 private:
  [[gnu::noinline]] static void rename(ExtractedValue& slot, std::string_view name) {
    // The size handed to the callback may be the grown capacity (GCC 12),
    // so the name's own size is used.
    slot.name.resize_and_overwrite(name.size(), [name](char* p, size_t) {
      std::memcpy(p, name.data(), name.size());
      return name.size();
    });
  }

  ValueList& out_;
  size_t used_ = 0;
};

void put_positional(ValueSink& sink, size_t number, std::string_view token) {
  // Words, the most common tokens that are not numbers, go at once.
  const char first = token.empty() ? '\0' : token[0];
  if (!is_digit(first) && first != '.' && first != '+' && first != '-') return;
  double v = 0;
  if (!read_number(token.data(), token.size(), v)) return;
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, number);
  sink.put(std::string_view(digits, static_cast<size_t>(r.ptr - digits)), v);
}

// Positional values of a line with no named value: every token counts.
[[gnu::noinline]] void positional_pass(std::string_view text, ValueSink& sink) {
  size_t tokens = 0;
  TokenWalker walker(text.data(), text.size());
  Token t;
  while (walker.next(t)) {
    ++tokens;
    if (!t.named) put_positional(sink, tokens, t.head);
  }
}

}  // namespace

std::optional<double> parse_number_token(std::string_view t) {
  double v = 0;
  if (!read_number(t.data(), t.size(), v)) return std::nullopt;
  return v;
}

void extract_values(std::string_view text, ValueList& out) {
  ValueSink sink(out);
  // Tokens that may be positional values are only read if the line turns
  // out to have no named value; the first few are remembered for that.
  // (Plain members: the array is not filled in for every line.)
  constexpr size_t kRemembered = 24;
  struct Candidate {
    size_t number;
    size_t begin;
    size_t size;
  };
  std::array<Candidate, kRemembered> candidates;
  size_t remembered = 0;
  bool overflow = false;
  size_t tokens = 0;
  bool named = false;
  TokenWalker walker(text.data(), text.size());
  Token t;
  while (walker.next(t)) {
    ++tokens;
    if (!t.named) {
      if (named) continue;
      if (remembered < kRemembered) {
        candidates[remembered++] = {tokens, static_cast<size_t>(t.head.data() - text.data()),
                                    t.head.size()};
      } else {
        overflow = true;
      }
      continue;
    }
    if (!t.value_plain || !(t.label_plain || label_ok(t.head))) continue;
    double v = 0;
    if (!read_number(t.value.data(), t.value.size(), v)) continue;
    named = true;
    sink.put(t.head, v);
  }
  if (!named) {
    if (overflow) {
      positional_pass(text, sink);
    } else {
      for (size_t k = 0; k < remembered; ++k) {
        const Candidate& c = candidates[k];
        put_positional(sink, c.number, text.substr(c.begin, c.size));
      }
    }
    // Positional values only count when the line looks like data.
    if (sink.used() > 0 && 2 * sink.used() < tokens && tokens >= 4) sink.drop_all();
  }
  sink.finish();
}

ValueList extract_values(std::string_view text) {
  ValueList out;
  extract_values(text, out);
  return out;
}

}  // namespace lw
