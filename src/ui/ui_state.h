#pragma once
// What the window keeps that the application state does not: the pointer
// and what it is over, the tooltip, the keyboard focus, the text fields and
// the palette in force. The painter only reads it, but for the graph's
// column caches, which are its own; the mouse and keyboard handling writes
// the rest.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "gfx/gfx.h"
#include "ui/dialog.h"
#include "ui/graph/graph_columns.h"
#include "ui/hit.h"
#include "ui/text_edit.h"
#include "ui/text_input.h"

namespace lw {

class App;

enum class Focus : uint8_t { none = 0, send = 1, search = 2, baud = 3, dialog = 4 };

// An open drop-down panel (the baud presets): its items and where they are.
struct DropDown {
  int owner = 0;  // the command of the widget it belongs to
  std::vector<std::string> items;
  Rect panel;
  std::vector<Rect> item_rects;
};

// What a held left button is doing.
enum class Drag : uint8_t { none, rows, scroll_bar };

struct UiState final : WindowSide {
  // Dark or light palette; the host sets it from the system's setting. Until
  // it does, the first frame asks the system once.
  std::optional<bool> dark;

  // The pointer: where it is, what is under it and since when.
  std::optional<Point> mouse;
  Hit hover;
  int64_t hover_since_ms = 0;
  bool tooltip_shown = false;
  bool dragging_scroll_bar = false;

  Focus focus = Focus::none;
  TextInput search_field;
  TextInput baud_field;                       // while focused; else the tab's baud rate is shown
  std::map<uint64_t, TextInput> send_fields;  // by session id

  std::optional<Dialog> dialog;  // at most one; it holds the focus (4)
  std::optional<DropDown> dropdown;
  Utf16Assembler typed;

  Drag drag = Drag::none;
  float drag_start_y = 0;        // scroll bar: where the press was
  double drag_start_scroll = 0;  // and the scroll position then

  GraphColumns graph_columns;  // the shown tab's

  TextInput& send_field(uint64_t session_id) { return send_fields[session_id]; }
};

// The window's UI state for this application, made on first use and owned
// by the application's state.
UiState& ui_state(App& app);

}  // namespace lw
