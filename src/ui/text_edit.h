#pragma once
// Editing a text field: caret moves, deletions, insertion, the selection,
// typed characters arriving as UTF-16 units, the input method's
// composition, the clipboard rules, and the caret placed by a click.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/gfx.h"
#include "ui/text_input.h"
#include "ui/widgets.h"

namespace lw {

void move_left(TextInput& f, bool word, bool extend);
void move_right(TextInput& f, bool word, bool extend);
void move_home(TextInput& f, bool extend);
void move_end(TextInput& f, bool extend);
void delete_backward(TextInput& f, bool word);
void delete_forward(TextInput& f, bool word);
// Replaces the selection; control characters become spaces.
void insert(TextInput& f, std::u32string_view text);
std::u32string selected_text(const TextInput& f);
std::string selected_utf8(const TextInput& f);
void select_all(TextInput& f);
void clear(TextInput& f);

// Typed characters arrive as UTF-16 units: a high surrogate waits for its
// low one. Returns the character once complete.
class Utf16Assembler {
 public:
  std::optional<char32_t> feed(char16_t unit);

 private:
  char16_t high_ = 0;
};

// A typed character, after the control-character and digits-only rules;
// false when the field ignores it.
bool type_char(TextInput& f, FieldKind kind, char32_t c);

// What a paste inserts from the clipboard's text: the first line without a
// trailing CR, only digits in the baud field. Reading stops at a NUL and
// after 1,048,576 UTF-16 units' worth of characters; invalid bytes become
// U+FFFD.
std::u32string paste_text(std::string_view clipboard_utf8, FieldKind kind);

// The input method: a composition in progress (the selection is deleted
// first) and a result (inserted like typing).
void set_composition(TextInput& f, std::u32string_view composition);
void commit_composition(TextInput& f, std::u32string_view result);

// The character boundary nearest to x (device pixels) in a field drawn in
// `widget` with its scroll offset.
size_t caret_index_at(const TextInput& f, FieldKind kind, const Rect& widget, Gfx& gfx, float x);
// Where the candidate list of the input method opens: at the caret.
Point ime_point(const TextInput& f, FieldKind kind, const Rect& widget, Gfx& gfx);

}  // namespace lw
