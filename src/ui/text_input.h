#pragma once
// A single-line text field of the window: its characters, caret, selection
// and input-method composition, and what painting needs from it. Editing
// keeps to these fields; the painter only reads them.
#include <cstddef>
#include <string>

#include "gfx/gfx.h"
#include "ui/widgets.h"

namespace lw {

struct TextInput {
  std::u32string text;  // Unicode scalar values
  size_t caret = 0;     // 0 .. text.size()
  size_t anchor = 0;    // the other end of the selection
  std::u32string composition;

  bool has_selection() const { return caret != anchor; }
  size_t selection_start() const { return caret < anchor ? caret : anchor; }
  size_t selection_end() const { return caret < anchor ? anchor : caret; }
  bool empty() const { return text.empty() && composition.empty(); }
  // Replaces the text; caret and anchor go to its end.
  void set_text(std::u32string t);
  void set_utf8(std::string_view utf8);
};

// The text with the composition inserted at the caret, as drawn and
// measured.
std::u32string display_text(const TextInput& field);
std::string display_utf8(const TextInput& field);
// The caret's index in the display text: after the composition, where the
// input method keeps its own caret.
size_t display_caret(const TextInput& field);

// Where the field's text is drawn inside its widget.
Rect text_rect(FieldKind kind, const Rect& widget, float scale);

// How far the drawn text is shifted left so the caret stays in view with 2
// pixels to spare.
float scroll_offset(const TextInput& field, FieldKind kind, const Rect& widget, Gfx& gfx);

}  // namespace lw
