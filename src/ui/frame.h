#pragma once
// One frame's geometry: every region, widget, tab, port row and overlay
// with its rectangle, built afresh from the state for each paint and each
// hit test, so both see the same window.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "ports/badge.h"
#include "ui/bars.h"
#include "ui/geometry.h"
#include "ui/graph_layout.h"
#include "ui/widgets.h"

namespace lw {

struct TabItem {
  size_t index = 0;
  Rect rect;
  Rect close;  // the cross
  std::string label;
  bool selected = false;
  ConnectionKind kind = ConnectionKind::Closed;
};

struct PortRowItem {
  size_t index = 0;  // in the port list
  Rect rect;
  std::string name;
  std::string description;
  PortBadge badge = PortBadge::None;
  bool selected = false;  // the selected tab's port
};

struct NoticeFrame {
  Rect rect;
  Rect text;
  std::string message;
  bool error = false;
  std::vector<Rect> actions;
  std::vector<std::string> action_labels;
};

struct UiFrame {
  WindowLayout layout;
  Session* session = nullptr;  // the selected tab, if any
  // Port settings row, log toolbar, send bar, graph controls: paint order.
  std::vector<Widget> widgets;
  // The widgets of each bar that moved into its overflow menu (kSettingsBar...).
  std::array<std::vector<Widget>, kBarCount> overflow;
  std::vector<TabItem> tabs;
  std::optional<Rect> state_text;      // the session state line, right of the tabs
  std::vector<PortRowItem> port_rows;  // the rows that are drawn
  Rect open_by_path;                   // "Open a device by path…", after them
  std::optional<GraphFrame> graph;
  Rect log;  // the log rows' rounded rectangle
  size_t rows_fit = 1;
  std::optional<Rect> jump_pill;
  std::optional<ScrollBarGeometry> scroll_bar;
  std::optional<NoticeFrame> notice;

  const Widget* find(int id, size_t index = 0) const;
};

// Also sets the application's visible row count from the log's height and
// settles the selected log's scroll to it (a view that follows ends on the
// newest line).
UiFrame build_frame(App& app, Gfx& gfx, float width_px, float height_px);

// The bar widgets with their rectangles, in the order painted.
std::vector<Widget> bar_widgets(App& app, Gfx& gfx, float width_px, float height_px);

// The label of the jump-to-bottom pill, and the pill for a log rectangle.
std::string jump_to_bottom_text();

}  // namespace lw
