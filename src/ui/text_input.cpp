#include "ui/text_input.h"

#include <algorithm>

#include "base/utf8.h"

namespace lw {

void TextInput::set_text(std::u32string t) {
  text = std::move(t);
  caret = anchor = text.size();
  composition.clear();
}

void TextInput::set_utf8(std::string_view utf8) { set_text(utf32_from_utf8(utf8)); }

std::u32string display_text(const TextInput& field) {
  if (field.composition.empty()) return field.text;
  std::u32string out = field.text;
  out.insert(std::min(field.caret, out.size()), field.composition);
  return out;
}

std::string display_utf8(const TextInput& field) { return utf8_from_utf32(display_text(field)); }

size_t display_caret(const TextInput& field) {
  return std::min(field.caret, field.text.size()) + field.composition.size();
}

Rect text_rect(FieldKind kind, const Rect& widget, float scale) {
  float left = 12;
  float right = 10;
  if (kind == FieldKind::search) {
    left = 32;
    right = 28;
  }
  const float w = std::max(10 * scale, widget.w - (left + right) * scale);
  return {widget.x + left * scale, widget.y, w, widget.h};
}

float scroll_offset(const TextInput& field, FieldKind kind, const Rect& widget, Gfx& gfx) {
  const std::u32string shown = display_text(field);
  const size_t upto = display_caret(field);
  const float caret_x = gfx.measure_text(
      utf8_from_utf32(std::u32string_view(shown).substr(0, upto)), TextFormat::normal);
  const Rect r = text_rect(kind, widget, gfx.scale());
  return std::max(0.0f, caret_x - r.w + 2);
}

}  // namespace lw
