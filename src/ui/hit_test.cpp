#include "ui/hit_test.h"

#include <algorithm>
#include <array>

#include "ui/dialog.h"
#include "ui/widgets.h"

namespace lw {

namespace {
constexpr float kClearSearchZone = 28;

// Targets and bar commands answer in one number space: a number shared by
// two sends the click of one to the other.
constexpr std::array kHitNumbers = {target::menu_button,
                                    target::port_row,
                                    target::auto_open,
                                    target::tab,
                                    target::tab_close,
                                    target::open_by_path,
                                    target::log_rows,
                                    target::scroll_bar,
                                    target::jump_to_bottom,
                                    target::dropdown_item,
                                    target::dropdown_panel,
                                    target::legend_chip,
                                    target::plot,
                                    target::dialog_ok,
                                    target::dialog_cancel,
                                    target::notice_action,
                                    cmd::baud_presets,
                                    cmd::baud_field,
                                    cmd::frame_setting,
                                    cmd::dtr,
                                    cmd::rts,
                                    cmd::open_close,
                                    cmd::record,
                                    cmd::text_hex,
                                    cmd::stamp_mode,
                                    cmd::search_field,
                                    cmd::clear_search,
                                    cmd::matching_only,
                                    cmd::clear_log,
                                    cmd::copy_lines,
                                    cmd::save_log,
                                    cmd::send_field,
                                    cmd::line_ending,
                                    cmd::hex_send,
                                    cmd::send,
                                    cmd::graph,
                                    cmd::values_csv,
                                    cmd::note,
                                    cmd::alerts,
                                    cmd::presets,
                                    cmd::repeat,
                                    cmd::graph_span,
                                    cmd::graph_pause,
                                    cmd::graph_stats,
                                    cmd::dialog_field,
                                    cmd::overflow,
                                    cmd::replay_speed};

constexpr bool all_distinct() {
  std::array numbers = kHitNumbers;
  std::ranges::sort(numbers);
  return std::ranges::adjacent_find(numbers) == numbers.end();
}
static_assert(all_distinct(), "a target and a bar command share a number");
}  // namespace

Hit hit_test(const UiFrame& f, const UiState& ui, Gfx& gfx, Point p) {
  if (ui.dialog) {
    const DialogGeometry g = dialog_geometry(gfx, f.layout.width, f.layout.height, f.layout.scale);
    if (g.ok.contains(p)) return {target::dialog_ok, 0};
    if (g.cancel.contains(p)) return {target::dialog_cancel, 0};
    return {};
  }
  return hit_test(f, ui, p);
}

Hit hit_test(const UiFrame& f, const UiState& ui, Point p) {
  if (ui.dialog) return {};
  if (ui.dropdown) {
    const DropDown& d = *ui.dropdown;
    for (size_t i = 0; i < d.item_rects.size() && i < d.items.size(); ++i) {
      // Separators are part of the panel.
      if (!d.items[i].empty() && d.item_rects[i].contains(p)) return {target::dropdown_item, i};
    }
    if (d.panel.contains(p)) return {target::dropdown_panel, 0};
  }
  if (f.notice && f.notice->rect.contains(p)) {
    for (size_t i = 0; i < f.notice->actions.size(); ++i) {
      if (f.notice->actions[i].contains(p)) return {target::notice_action, i};
    }
    return {};
  }
  if (f.layout.menu_button.contains(p)) return {target::menu_button, 0};
  if (f.layout.auto_open.contains(p)) return {target::auto_open, 0};
  for (const PortRowItem& row : f.port_rows) {
    if (row.rect.contains(p)) return {target::port_row, row.index};
  }
  if (f.open_by_path.contains(p)) return {target::open_by_path, 0};
  for (const TabItem& tab : f.tabs) {
    if (tab.close.contains(p)) return {target::tab_close, tab.index};
    if (tab.rect.contains(p)) return {target::tab, tab.index};
  }
  for (const Widget& w : f.widgets) {
    if (!w.clickable() || !w.rect.contains(p)) continue;
    if (w.id == cmd::search_field && !ui.search_field.empty() &&
        p.x >= w.rect.right() - kClearSearchZone * f.layout.scale) {
      return {cmd::clear_search, 0};
    }
    return {w.id, w.index};
  }
  if (f.graph) {
    for (const LegendChip& chip : f.graph->chips) {
      if (chip.rect.contains(p)) return {target::legend_chip, chip.series};
    }
    if (f.graph->plot.contains(p)) return {target::plot, 0};
  }
  if (f.session == nullptr) return {};
  if (f.jump_pill && f.jump_pill->contains(p)) return {target::jump_to_bottom, 0};
  if (f.scroll_bar && f.scroll_bar->area.contains(p)) return {target::scroll_bar, 0};
  if (f.log.contains(p)) return {target::log_rows, 0};
  return {};
}

Hit hit_test(App& app, Gfx& gfx, float width_px, float height_px, Point p) {
  const UiFrame frame = build_frame(app, gfx, width_px, height_px);
  return hit_test(frame, ui_state(app), gfx, p);
}

std::optional<Rect> hit_rect(const UiFrame& f, Hit hit) {
  switch (hit.target) {
    case target::nothing:
      return std::nullopt;
    case target::menu_button:
      return f.layout.menu_button;
    case target::auto_open:
      return f.layout.auto_open;
    case target::port_row:
      for (const PortRowItem& row : f.port_rows)
        if (row.index == hit.index) return row.rect;
      return std::nullopt;
    case target::open_by_path:
      return f.open_by_path;
    case target::tab:
    case target::tab_close:
      for (const TabItem& tab : f.tabs)
        if (tab.index == hit.index) return hit.target == target::tab ? tab.rect : tab.close;
      return std::nullopt;
    case target::legend_chip:
      if (f.graph)
        for (const LegendChip& chip : f.graph->chips)
          if (chip.series == hit.index) return chip.rect;
      return std::nullopt;
    case target::plot:
      if (f.graph) return f.graph->plot;
      return std::nullopt;
    case target::jump_to_bottom:
      return f.jump_pill;
    case target::scroll_bar:
      if (f.scroll_bar) return f.scroll_bar->area;
      return std::nullopt;
    case target::log_rows:
      return f.log;
    case target::dropdown_item:
    case target::dropdown_panel:
    case target::dialog_ok:
    case target::dialog_cancel:
      return std::nullopt;
    case target::notice_action:
      if (f.notice && hit.index < f.notice->actions.size()) return f.notice->actions[hit.index];
      return std::nullopt;
    case cmd::clear_search:
      if (const Widget* w = f.find(cmd::search_field)) return w->rect;
      return std::nullopt;
    default:
      break;
  }
  if (const Widget* w = f.find(hit.target, hit.index)) return w->rect;
  return std::nullopt;
}

std::string tooltip_text(const UiFrame& f, Hit hit) {
  if (hit.target == target::legend_chip && f.graph) {
    for (const LegendChip& chip : f.graph->chips)
      if (chip.series == hit.index) return chip.label;
    return {};
  }
  // Tab crosses, rows and the like carry no tooltip; widgets do.
  switch (hit.target) {
    case target::nothing:
    case target::menu_button:
    case target::auto_open:
    case target::port_row:
    case target::open_by_path:
    case target::tab:
    case target::tab_close:
    case target::log_rows:
    case target::scroll_bar:
    case target::jump_to_bottom:
    case target::plot:
    case target::notice_action:
    case target::dropdown_item:
    case target::dropdown_panel:
    case target::dialog_ok:
    case target::dialog_cancel:
    case cmd::clear_search:
      return {};
    default:
      break;
  }
  if (const Widget* w = f.find(hit.target, hit.index)) {
    // A widget showing its icon alone names itself in the tooltip.
    if (w->tooltip.empty() && w->compact) return w->label;
    return w->tooltip;
  }
  return {};
}

}  // namespace lw
