#include "ui/frame.h"

#include <algorithm>
#include <cmath>

#include "lang/tr.h"
#include "ui/bars.h"
#include "ui/texts.h"

namespace lw {

namespace {

constexpr float kTabMin = 96;
constexpr float kTabMax = 220;
constexpr float kTabShrunkMin = 64;
// Around a tab's name: 12, the state dot 8, 8, name, 10, cross 16, 8.
constexpr float kTabExtra = 62;
constexpr float kOpenByPathHeight = 36;

void add_tabs(UiFrame& f, AppState& state, Gfx& gfx) {
  const float s = f.layout.scale;
  const Rect row = f.layout.tab_row;
  const float left = row.x + dip(12, s);
  const float right = f.layout.width - dip(12, s);
  std::vector<float> widths;
  float total = 0;
  for (const auto& session : state.sessions) {
    // Measured as the selected tab draws its name, in bold, so every tab
    // keeps its width whichever is selected.
    const float w = std::clamp(
        std::ceil(gfx.measure_text(session->port_name, TextFormat::bold) + dip(kTabExtra, s)),
        dip(kTabMin, s), dip(kTabMax, s));
    widths.push_back(w);
    total += w;
  }
  const float gap = dip(4, s);
  const float room = right - left - gap * static_cast<float>(widths.size());
  if (total > room && total > 0) {
    const float factor = std::max(0.0f, room) / total;
    for (float& w : widths) w = std::max(dip(kTabShrunkMin, s), std::floor(w * factor));
  }
  const float top = row.y + dip(6, s);
  float x = left;
  for (size_t i = 0; i < state.sessions.size(); ++i) {
    const Session& session = *state.sessions[i];
    TabItem t;
    t.index = i;
    t.rect = {x, top, widths[i], row.bottom() - top};
    const float cross = dip(18, s);
    t.close = {t.rect.right() - dip(8, s) - cross, std::round(t.rect.y + (t.rect.h - cross) / 2),
               cross, cross};
    t.label = session.port_name;
    t.selected = state.current == i;
    t.kind = session.state.kind;
    f.tabs.push_back(std::move(t));
    x += widths[i] + gap;
  }
  if (f.session != nullptr) {
    const float from = x + dip(12, s);
    if (right - from >= dip(40, s))
      f.state_text = Rect{from, row.y + dip(6, s), right - from, row.bottom() - row.y - dip(6, s)};
  }
}

void add_port_rows(UiFrame& f, App& app) {
  AppState& state = app.state();
  const int64_t now = app.host().clock().monotonic_ms();
  const Session* current = state.current_session();
  for (size_t i = 0; i < state.ports.size(); ++i) {
    if (!port_row_shown(f.layout, i)) break;
    const PortInfo& port = state.ports[i];
    PortRowItem row;
    row.index = i;
    row.rect = port_row_rect(f.layout, i);
    row.name = port.name;
    row.description = port.description;
    std::optional<ConnectionKind> kind;
    for (const auto& s : state.sessions) {
      if (s->port_name == port.name) {
        kind = s->state.kind;
        break;
      }
    }
    row.badge = port_badge(port.name, state.recent_arrivals, now, kind);
    row.selected = current != nullptr && current->port_name == port.name;
    f.port_rows.push_back(std::move(row));
  }
  // The entry that opens a device by its path follows the last row (below
  // the empty list's message when there are none); rows give way to it
  // rather than push it under the auto-open row.
  const float s = f.layout.scale;
  const float h = dip(kOpenByPathHeight, s);
  const auto top = [&] {
    if (state.ports.empty()) return port_row_rect(f.layout, 2).y;
    if (f.port_rows.empty()) return port_row_rect(f.layout, 0).y;
    return f.port_rows.back().rect.bottom() + dip(4, s);
  };
  while (!f.port_rows.empty() && top() + h > f.layout.auto_open.y) f.port_rows.pop_back();
  f.open_by_path = {dip(8, s), top(), f.layout.panel_width - dip(16, s), h};
}

void add_log(UiFrame& f, AppState& state, Gfx& gfx, Millis now) {
  Session& s = *f.session;
  const float sc = f.layout.scale;
  const CardSplit split = split_log_card(f.layout.log_card, s.lab.series.graph_shown(), sc);
  f.log = split.log;
  if (split.graph) {
    f.graph = graph_frame(*split.graph, s.lab.series, now, gfx);
    for (const Widget& w : f.graph->controls) f.widgets.push_back(w);
  }
  f.rows_fit = rows_that_fit(f.log, sc);
  state.visible_rows = f.rows_fit;
  // Every frame: a view that follows shows the newest line whole, however
  // the lines came in (marks are appended outside the drain).
  s.log.settle_scroll(f.rows_fit);
  const size_t shown = s.log.shown_count();
  f.scroll_bar = scroll_bar_geometry(f.log, shown, f.rows_fit, s.log.scroll(), sc);
  if (!s.log.follow() && shown > 0) {
    f.jump_pill =
        jump_pill_rect(f.log, gfx.measure_text(jump_to_bottom_text(), TextFormat::normal), sc);
  }
}

void add_notice(UiFrame& f, const AppState& state, Gfx& gfx) {
  if (!state.notice) return;
  const Notice& n = state.notice->notice;
  const float s = f.layout.scale;
  NoticeFrame nf;
  nf.message = n.text;
  nf.error = n.error;
  const float h = dip(36, s);
  const float pad = dip(14, s);
  std::vector<float> widths;
  float actions = 0;
  for (size_t i = 0; i < n.actions.size() && i < 2; ++i) {
    nf.action_labels.push_back(notice_action_label(n.actions[i].kind));
    widths.push_back(std::ceil(gfx.measure_text(nf.action_labels.back(), TextFormat::bold)) +
                     dip(20, s));
    actions += widths.back() + (i > 0 ? dip(6, s) : 0);
  }
  // Right of the message: the actions with 16 before and 8 after, or padding.
  const float tail = widths.empty() ? pad : dip(16, s) + actions + dip(8, s);
  const float text_w = std::ceil(gfx.measure_text(n.text, TextFormat::normal));
  // Over the bottom of the log card, clear of the jump pill; without a tab,
  // over the bottom of the area right of the port list.
  Rect area = f.layout.log_card;
  float margin = dip(20, s);
  if (f.session == nullptr) {
    area = {f.layout.panel_width, f.layout.top_bar.bottom(), f.layout.width - f.layout.panel_width,
            f.layout.height - f.layout.top_bar.bottom() - dip(12, s)};
  } else if (f.jump_pill) {
    margin = f.layout.log_card.right() - f.jump_pill->x + dip(10, s);
  }
  const float max_w = std::max(dip(200, s), area.w - 2 * margin);
  const float w = std::min(max_w, pad + text_w + tail);
  nf.rect = {std::round(area.x + (area.w - w) / 2), area.bottom() - dip(12, s) - h, w, h};
  nf.text = {nf.rect.x + pad, nf.rect.y, std::max(0.0f, w - pad - tail), h};
  float x = nf.rect.right() - dip(8, s);
  nf.actions.resize(widths.size());
  for (size_t i = widths.size(); i-- > 0;) {
    x -= widths[i];
    nf.actions[i] = {x, nf.rect.y + dip(5, s), widths[i], h - dip(10, s)};
    x -= dip(6, s);
  }
  f.notice = std::move(nf);
}

}  // namespace

const Widget* UiFrame::find(int id, size_t index) const {
  for (const Widget& w : widgets) {
    if (w.id == id && w.index == index) return &w;
  }
  return nullptr;
}

std::string jump_to_bottom_text() { return tr("맨 아래로", "Jump to bottom"); }

UiFrame build_frame(App& app, Gfx& gfx, float width_px, float height_px) {
  AppState& state = app.state();
  UiFrame f;
  f.layout = window_layout(width_px, height_px, gfx.scale());
  f.session = state.current_session();
  add_port_rows(f, app);
  add_tabs(f, state, gfx);
  if (f.session != nullptr) {
    const Session& s = *f.session;
    BarRow bars[kBarCount] = {settings_row_widgets(s, state, f.layout, gfx),
                              toolbar_widgets(s, state, f.layout, gfx),
                              send_bar_widgets(s, f.layout, gfx)};
    for (int bar = 0; bar < kBarCount; ++bar) {
      for (Widget& w : bars[bar].widgets) f.widgets.push_back(std::move(w));
      f.overflow[static_cast<size_t>(bar)] = std::move(bars[bar].overflow);
    }
    add_log(f, state, gfx, app.host().clock().local_now());
  }
  add_notice(f, state, gfx);
  return f;
}

std::vector<Widget> bar_widgets(App& app, Gfx& gfx, float width_px, float height_px) {
  return build_frame(app, gfx, width_px, height_px).widgets;
}

}  // namespace lw
