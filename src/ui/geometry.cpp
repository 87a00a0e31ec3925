#include "ui/geometry.h"

#include <algorithm>
#include <cmath>

namespace lw {

namespace {
constexpr float kTopBar = 48;
constexpr float kTabRow = 40;
constexpr float kSettingsRow = 46;
constexpr float kToolbarRow = 46;
constexpr float kSendBar = 58;
constexpr float kAutoOpen = 44;
constexpr float kWidePanel = 280;
constexpr float kNarrowPanel = 236;
constexpr float kWideFrom = 1000;  // window width in DIPs
constexpr float kPortListTop = 42;
constexpr float kPortRow = 58;
constexpr float kPortRowGap = 4;
constexpr float kScrollBarStrip = 14;
}  // namespace

float rdip(float d, float scale) { return std::round(d * scale); }

WindowLayout window_layout(float width_px, float height_px, float scale) {
  const float s = scale > 0 ? scale : 1.0f;
  WindowLayout l;
  l.scale = s;
  l.width = width_px;
  l.height = height_px;
  const float top = rdip(kTopBar, s);
  l.panel_width = rdip(width_px < kWideFrom * s ? kNarrowPanel : kWidePanel, s);
  const float p = l.panel_width;
  l.top_bar = {0, 0, width_px, top};
  const float menu = dip(36, s);
  l.menu_button = {width_px - dip(10, s) - menu, std::round((top - menu) / 2), menu, menu};
  l.port_panel = {0, top, p, std::max(0.0f, height_px - top)};
  const float auto_h = dip(kAutoOpen, s);
  l.auto_open = {0, height_px - auto_h, p, auto_h};
  const float right_w = std::max(0.0f, width_px - p);
  l.tab_row = {p, top, right_w, rdip(kTabRow, s)};
  l.settings_row = {p, l.tab_row.bottom(), right_w, rdip(kSettingsRow, s)};
  l.toolbar_row = {p, l.settings_row.bottom(), right_w, rdip(kToolbarRow, s)};
  const float send_h = rdip(kSendBar, s);
  l.send_bar = {p, height_px - send_h, right_w, send_h};
  const float card_y = l.toolbar_row.bottom();
  l.log_card = {p + dip(12, s), card_y, std::max(0.0f, width_px - p - dip(24, s)),
                std::max(dip(10, s), height_px - send_h - card_y)};
  return l;
}

Rect log_card_rect(const WindowLayout& layout) { return layout.log_card; }
Rect auto_open_rect(const WindowLayout& layout) { return layout.auto_open; }

Rect port_row_rect(const WindowLayout& layout, size_t index) {
  const float s = layout.scale;
  const float row = rdip(kPortRow, s);
  const float pitch = row + dip(kPortRowGap, s);
  const float top = layout.top_bar.bottom() + dip(kPortListTop, s);
  return {dip(8, s), top + pitch * static_cast<float>(index), layout.panel_width - dip(16, s), row};
}

bool port_row_shown(const WindowLayout& layout, size_t index) {
  return port_row_rect(layout, index).bottom() <= layout.auto_open.y;
}

float graph_panel_height(float card_height, float scale) {
  // Whole pixels: the plot inside is a clip, and cairo and Direct2D clip
  // fastest on pixel edges.
  const float g = std::max(card_height * 0.48f, dip(170, scale));
  return std::max(0.0f, std::round(std::min(g, card_height - dip(90, scale))));
}

CardSplit split_log_card(Rect card, bool graph_shown, float scale) {
  if (!graph_shown) return {std::nullopt, card};
  const float g = graph_panel_height(card.h, scale);
  if (g <= 0) return {std::nullopt, card};
  const Rect graph{card.x, card.y, card.w, g};
  const float top = graph.bottom() + dip(6, scale);
  return {graph, Rect{card.x, top, card.w, std::max(dip(10, scale), card.bottom() - top)}};
}

float log_row_height(float scale) { return rdip(19, scale); }

size_t rows_that_fit(const Rect& log, float scale) {
  const float row = std::max(1.0f, log_row_height(scale));
  const float n = std::floor(log.h / row);
  return n >= 1 ? static_cast<size_t>(n) : 1;
}

Rect jump_pill_rect(const Rect& log, float label_width, float scale) {
  const float w = dip(46, scale) + label_width;
  return {log.right() - dip(22, scale) - w, log.bottom() - dip(46, scale), w, dip(34, scale)};
}

std::optional<ScrollBarGeometry> scroll_bar_geometry(const Rect& log, size_t shown, size_t rows_fit,
                                                     double scroll, float scale) {
  if (shown <= rows_fit) return std::nullopt;
  ScrollBarGeometry g;
  const float strip = dip(kScrollBarStrip, scale);
  g.area = {log.right() - strip, log.y, strip, log.h};
  const float inset = dip(4, scale);
  g.track = {g.area.x + (strip - dip(6, scale)) / 2, log.y + inset, dip(6, scale),
             std::max(0.0f, log.h - 2 * inset)};
  g.max_scroll = static_cast<double>(shown - rows_fit);
  const double fraction = static_cast<double>(rows_fit) / static_cast<double>(shown);
  const float thumb_h =
      std::min(g.track.h, std::max(dip(28, scale), static_cast<float>(g.track.h * fraction)));
  const double pos = std::clamp(scroll / g.max_scroll, 0.0, 1.0);
  g.thumb = {g.track.x, g.track.y + static_cast<float>(pos * (g.track.h - thumb_h)), g.track.w,
             thumb_h};
  return g;
}

}  // namespace lw
