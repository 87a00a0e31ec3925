#pragma once
// What the mouse and the keyboard handling share: the frame under the
// input, log scrolling with its follow rule, and the focused text field
// kept in step with what the application reads from it.
#include <optional>

#include "ui/frame.h"
#include "ui/input/input.h"
#include "ui/ui_state.h"

namespace lw::input {

inline UiFrame frame_of(View v) { return build_frame(v.app, v.gfx, v.width, v.height); }

// Scroll positions run from 0 to shown lines - visible rows.
double max_scroll(const Session& s, size_t visible_rows);
// Moves the view to `scroll`, clamped; following turns on exactly when the
// view reaches the end.
void scroll_log_to(App& app, Session& s, double scroll);
void scroll_log_by(App& app, Session& s, double lines);

// The row under a client y, clamped to the shown rows; none without rows.
std::optional<size_t> row_at(const UiFrame& f, const Session& s, float y);

// A held left button moved: extend the row selection or move the scroll
// bar's thumb.
void drag_to(View v, const UiFrame& f, Point p);

// The focused field, its kind and the widget it is drawn in; none when no
// field has the focus (or its widget is not on screen).
struct FocusedField {
  TextInput* input = nullptr;
  FieldKind kind = FieldKind::send;
  Rect widget;
};
std::optional<FocusedField> focused_field(View v, const UiFrame& f);

// The selected tab's send field, refreshed from the tab's send box when the
// application changed that (a send clears it).
TextInput& send_input(UiState& ui, Session& s);
// Gives a field the focus; the baud field starts from the tab's rate.
void focus_field(View v, Focus focus);

// After the text of the focused field changed by typing or editing: the
// send box follows and leaves history browsing; the search restarts its
// timer.
void field_edited(View v, FieldKind kind);
// Where the input method's candidate list opens.
void place_ime(View v, const FocusedField& field);

}  // namespace lw::input
