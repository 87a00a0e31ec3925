#include "ui/text_edit.h"

#include <algorithm>

#include "base/unicode.h"
#include "base/utf8.h"

namespace lw {

namespace {

// What a paste reads at most, counted as the clipboard counts: UTF-16 units.
constexpr size_t kPasteUnits = 1'048'576;

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }
bool is_digit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool is_scalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

size_t word_left(std::u32string_view text, size_t i) {
  while (i > 0 && unicode::is_white_space(text[i - 1])) --i;
  while (i > 0 && !unicode::is_white_space(text[i - 1])) --i;
  return i;
}

size_t word_right(std::u32string_view text, size_t i) {
  while (i < text.size() && !unicode::is_white_space(text[i])) ++i;
  while (i < text.size() && unicode::is_white_space(text[i])) ++i;
  return i;
}

// Keeps caret and anchor inside the text whoever set them last.
void clamp(TextInput& f) {
  f.caret = std::min(f.caret, f.text.size());
  f.anchor = std::min(f.anchor, f.text.size());
}

void erase(TextInput& f, size_t from, size_t to) {
  f.text.erase(from, to - from);
  f.caret = f.anchor = from;
}

void delete_selection(TextInput& f) {
  clamp(f);
  if (f.has_selection()) erase(f, f.selection_start(), f.selection_end());
}

void move_to(TextInput& f, size_t to, bool extend) {
  f.caret = to;
  if (!extend) f.anchor = to;
}

}  // namespace

void move_left(TextInput& f, bool word, bool extend) {
  clamp(f);
  if (!extend && f.has_selection()) {
    move_to(f, f.selection_start(), false);
    return;
  }
  const size_t to = word ? word_left(f.text, f.caret) : (f.caret > 0 ? f.caret - 1 : 0);
  move_to(f, to, extend);
}

void move_right(TextInput& f, bool word, bool extend) {
  clamp(f);
  if (!extend && f.has_selection()) {
    move_to(f, f.selection_end(), false);
    return;
  }
  const size_t to = word ? word_right(f.text, f.caret) : std::min(f.caret + 1, f.text.size());
  move_to(f, to, extend);
}

void move_home(TextInput& f, bool extend) {
  clamp(f);
  move_to(f, 0, extend);
}

void move_end(TextInput& f, bool extend) {
  clamp(f);
  move_to(f, f.text.size(), extend);
}

void delete_backward(TextInput& f, bool word) {
  clamp(f);
  if (f.has_selection()) {
    delete_selection(f);
    return;
  }
  const size_t from = word ? word_left(f.text, f.caret) : (f.caret > 0 ? f.caret - 1 : 0);
  erase(f, from, f.caret);
}

void delete_forward(TextInput& f, bool word) {
  clamp(f);
  if (f.has_selection()) {
    delete_selection(f);
    return;
  }
  const size_t to = word ? word_right(f.text, f.caret) : std::min(f.caret + 1, f.text.size());
  erase(f, f.caret, to);
}

void insert(TextInput& f, std::u32string_view text) {
  delete_selection(f);
  std::u32string clean(text);
  std::replace_if(clean.begin(), clean.end(), is_control, U' ');
  f.text.insert(f.caret, clean);
  f.caret = f.anchor = f.caret + clean.size();
}

std::u32string selected_text(const TextInput& f) {
  const size_t end = std::min(f.selection_end(), f.text.size());
  const size_t start = std::min(f.selection_start(), end);
  return f.text.substr(start, end - start);
}

std::string selected_utf8(const TextInput& f) { return utf8_from_utf32(selected_text(f)); }

void select_all(TextInput& f) {
  f.anchor = 0;
  f.caret = f.text.size();
}

void clear(TextInput& f) {
  f.text.clear();
  f.composition.clear();
  f.caret = f.anchor = 0;
}

std::optional<char32_t> Utf16Assembler::feed(char16_t unit) {
  const bool high = unit >= 0xD800 && unit <= 0xDBFF;
  const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (high_ != 0) {
    const char16_t held = high_;
    high_ = 0;
    if (low) return 0x10000 + ((char32_t{held} - 0xD800) << 10) + (char32_t{unit} - 0xDC00);
    // The held unit is lost; this one stands on its own.
  }
  if (high) {
    high_ = unit;
    return std::nullopt;
  }
  if (low) return std::nullopt;
  return char32_t{unit};
}

bool type_char(TextInput& f, FieldKind kind, char32_t c) {
  if (!is_scalar(c) || is_control(c)) return false;
  if (kind == FieldKind::baud && !is_digit(c)) return false;
  insert(f, std::u32string_view(&c, 1));
  return true;
}

std::u32string paste_text(std::string_view clipboard_utf8, FieldKind kind) {
  // Decoding stops at the clipboard's NUL, at the first line feed, or before
  // the character that would take the read past its limit.
  std::u32string out;
  size_t units = 0;
  for (size_t pos = 0; pos < clipboard_utf8.size();) {
    const Utf8Step step = decode_utf8(clipboard_utf8, pos);
    const char32_t c = step.length == 0 ? U'\uFFFD' : step.scalar;
    if (c == U'\0' || c == U'\n') break;
    units += c > 0xFFFF ? 2 : 1;
    if (units > kPasteUnits) break;
    out.push_back(c);
    pos += step.length == 0 ? 1 : step.length;
  }
  if (!out.empty() && out.back() == U'\r') out.pop_back();
  if (kind == FieldKind::baud) std::erase_if(out, [](char32_t c) { return !is_digit(c); });
  return out;
}

void set_composition(TextInput& f, std::u32string_view composition) {
  delete_selection(f);
  f.composition = composition;
}

void commit_composition(TextInput& f, std::u32string_view result) {
  f.composition.clear();
  insert(f, result);
}

size_t caret_index_at(const TextInput& f, FieldKind kind, const Rect& widget, Gfx& gfx, float x) {
  const Rect r = text_rect(kind, widget, gfx.scale());
  const float left = r.x - scroll_offset(f, kind, widget, gfx);
  const std::unique_ptr<TextLayout> layout =
      gfx.text_layout(display_utf8(f), unbounded_width, TextFormat::normal, Align::leading);
  const size_t at = layout->index_at(x - left);
  // A click inside the composition lands at the caret it is drawn at.
  const size_t caret = std::min(f.caret, f.text.size());
  const size_t composed = f.composition.size();
  if (at <= caret) return at;
  if (at < caret + composed) return caret;
  return std::min(at - composed, f.text.size());
}

Point ime_point(const TextInput& f, FieldKind kind, const Rect& widget, Gfx& gfx) {
  const Rect r = text_rect(kind, widget, gfx.scale());
  const std::u32string shown = display_text(f);
  const float upto = gfx.measure_text(
      utf8_from_utf32(std::u32string_view(shown).substr(0, display_caret(f))), TextFormat::normal);
  return {r.x - scroll_offset(f, kind, widget, gfx) + upto, r.y + 4 * gfx.scale()};
}

}  // namespace lw
