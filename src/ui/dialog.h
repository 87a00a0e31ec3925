#pragma once
// The in-window dialog: one line of text asked for over the window, what
// confirming each kind does, its geometry and its painting; and the two
// system message boxes (About, session summary).
#include <cstddef>
#include <cstdint>
#include <string>

#include "gfx/gfx.h"
#include "ui/text_input.h"

namespace lw {

class App;
struct PaintContext;

// device_path: a port named by its address ("Open a device by path…").
enum class DialogKind : uint8_t {
  note,
  text_alert,
  value_above,
  value_below,
  framing,
  device_path
};

struct Dialog {
  DialogKind kind = DialogKind::note;
  std::string title;
  std::string hint;
  std::string error;  // why the text was not taken; shown instead of the hint
  TextInput field;
  size_t series = 0;        // value alerts: which series of the selected tab
  std::string series_name;  // and its name, as the title shows it
};

struct DialogGeometry {
  Rect card;
  Rect field;
  Rect ok;
  Rect cancel;
};

// For a client area of width × height device pixels at `scale` (DPI / 96).
DialogGeometry dialog_geometry(Gfx& gfx, float width, float height, float scale);
// The buttons' labels, as measured and drawn.
std::string dialog_ok_label();
std::string dialog_cancel_label();

// Opens (or replaces) the dialog with the kind's title, hint and initial
// text, puts the focus on its field and repaints. `series` names the series
// of a value alert.
void open_dialog(App& app, DialogKind kind, size_t series = 0);
// Removes the dialog, returns the focus, and on confirm runs the kind's
// action on the trimmed text; failures are error notices.
void close_dialog(App& app, bool confirm);

// The dim cover, the card, title, hint, field and buttons; nothing when no
// dialog is open.
void paint_dialog(const PaintContext& c);

// Main menu "About Linewick".
void show_about(App& app);
// Main menu "Session summary (this tab)…": the box, and the copy on Yes.
void show_session_summary(App& app);

}  // namespace lw
