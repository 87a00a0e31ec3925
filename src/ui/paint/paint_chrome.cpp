// The window's frame around the log: the top bar, the port list, the tab
// row with the session state line, and the card shown when no tab is open.
#include <algorithm>
#include <cmath>

#include "files/log_folder.h"
#include "gfx/icons.h"
#include "lang/platform_words.h"
#include "lang/tr.h"
#include "ui/colours.h"
#include "ui/paint/paint_context.h"
#include "ui/readable.h"
#include "ui/shapes.h"
#include "ui/text_wrap.h"
#include "ui/texts.h"

namespace lw {

namespace {

Color badge_colour(PortBadge badge, const Palette& pal) {
  switch (badge) {
    case PortBadge::New:
    case PortBadge::Connected:
      return pal[Pal::accent];
    case PortBadge::Lost:
      return colours::red;
    case PortBadge::Waiting:
      return colours::waiting;
    case PortBadge::Closed:
    case PortBadge::None:
      break;
  }
  return pal[Pal::muted];
}

Color state_dot_colour(ConnectionKind kind, const Palette& pal) {
  switch (kind) {
    case ConnectionKind::Open:
      return pal[Pal::accent];
    case ConnectionKind::Disconnected:
    case ConnectionKind::Failed:
      return colours::red;
    case ConnectionKind::Waiting:
      return colours::waiting;
    case ConnectionKind::Closed:
      break;
  }
  return pal[Pal::muted];
}

// A 1-pixel line along a rectangle's edge, on whole pixels.
void hline(const PaintContext& c, float x0, float x1, float y, Color col) {
  c.gfx.fill_rect({x0, std::floor(y), x1 - x0, std::max(1.0f, std::floor(c.s()))}, col);
}
void vline(const PaintContext& c, float x, float y0, float y1, Color col) {
  c.gfx.fill_rect({std::floor(x), y0, std::max(1.0f, std::floor(c.s())), y1 - y0}, col);
}

void paint_port_row(const PaintContext& c, const PortRowItem& row) {
  const Palette& p = c.pal;
  const Rect r = row.rect;
  const float radius = c.d(8);
  Color face = p[Pal::card];
  if (row.selected) {
    face = over(p[Pal::accent].with_opacity(0.07f), face);
  } else if (c.hovered(target::port_row, row.index)) {
    face = over(p[Pal::muted].with_opacity(0.07f), face);
  }
  const float border = row.selected ? 1.5f * c.s() : std::max(1.0f, std::floor(c.s()));
  const Color edge = row.selected ? over(p[Pal::accent].with_opacity(0.8f), p[Pal::port_panel])
                                  : p[Pal::separator];
  framed_box(c.gfx, r, radius, face, edge, border);

  float badge_w = 0;
  const std::string badge = badge_text(row.badge);
  if (!badge.empty()) {
    const Color bc = badge_colour(row.badge, p);
    badge_w = std::ceil(c.gfx.measure_text(badge, TextFormat::small)) + c.d(16);
    const Rect b{r.right() - c.d(10) - badge_w, r.y + c.d(10), badge_w, c.d(20)};
    c.gfx.fill_rounded_rect(b, c.d(10), bc.with_opacity(0.14f));
    c.gfx.draw_text(badge, b, readable(bc, over(bc.with_opacity(0.14f), face)), TextFormat::small,
                    Align::centre);
    badge_w += c.d(8);
  }
  const float x = r.x + c.d(12);
  c.gfx.draw_text(row.name, {x, r.y + c.d(8), r.right() - c.d(10) - badge_w - x, c.d(22)},
                  readable(p[Pal::text], face), TextFormat::bold, Align::leading);
  if (!row.description.empty()) {
    c.gfx.draw_text(row.description, {x, r.y + c.d(30), r.w - c.d(24), c.d(20)},
                    readable(p[Pal::muted], face), TextFormat::small, Align::leading);
  }
}

void paint_open_by_path(const PaintContext& c) {
  const Palette& p = c.pal;
  const Rect r = c.frame.open_by_path;
  if (c.hovered(target::open_by_path)) {
    c.gfx.fill_rounded_rect(r, c.d(8), p[Pal::muted].with_opacity(0.08f));
  }
  c.gfx.draw_icon(icons::add, {r.x + c.d(22), r.y + r.h / 2}, c.d(16), p[Pal::accent]);
  const float x = r.x + c.d(38);
  c.gfx.draw_text(open_by_path_label(), {x, r.y, r.right() - c.d(10) - x, r.h},
                  readable(p[Pal::accent], p[Pal::port_panel]), TextFormat::normal, Align::leading);
}

}  // namespace

std::string open_by_path_label() { return tr("경로로 장치 열기…", "Open a device by path…"); }

void paint_top_bar(const PaintContext& c) {
  const Palette& p = c.pal;
  const Rect bar = c.frame.layout.top_bar;
  c.gfx.fill_rect(bar, p[Pal::top_bar]);
  hline(c, 0, bar.w, bar.bottom() - std::max(1.0f, std::floor(c.s())), p[Pal::separator]);
  c.gfx.draw_icon(icons::plug, {c.d(24), c.d(24)}, c.d(20), p[Pal::accent]);
  const std::string title = "Linewick";
  c.gfx.draw_text(title, {c.d(42), 0, c.d(160), bar.h}, p[Pal::text], TextFormat::bold,
                  Align::leading);
  const float sub_x = c.d(42) + c.gfx.measure_text(title, TextFormat::bold) + c.d(12);
  c.gfx.draw_text(tr("USB 시리얼 장치 로그 뷰어", "USB serial device log viewer"),
                  {sub_x, 0, c.d(400), bar.h}, readable(p[Pal::muted], p[Pal::top_bar]),
                  TextFormat::small, Align::leading);
  const Rect menu = c.frame.layout.menu_button;
  if (c.hovered(target::menu_button)) {
    c.gfx.fill_rounded_rect(menu, c.d(8), p[Pal::accent].with_opacity(0.18f));
  }
  c.gfx.draw_icon(icons::menu, {menu.x + menu.w / 2, menu.y + menu.h / 2}, c.d(20), p[Pal::text]);
}

void paint_port_panel(const PaintContext& c) {
  const Palette& p = c.pal;
  const WindowLayout& l = c.frame.layout;
  const Rect panel = l.port_panel;
  c.gfx.fill_rect(panel, p[Pal::port_panel]);
  vline(c, panel.right() - std::max(1.0f, std::floor(c.s())), panel.y, panel.bottom(),
        p[Pal::separator]);
  c.gfx.draw_text(platform_tr(PlatformText::ports_heading),
                  {c.d(16), panel.y + c.d(10), panel.w - c.d(32), c.d(26)},
                  readable(p[Pal::muted], p[Pal::port_panel]), TextFormat::bold, Align::leading);

  c.gfx.push_clip({0, panel.y, panel.w, l.auto_open.y - panel.y});
  if (c.app.state().ports.empty()) {
    const float top = port_row_rect(l, 0).y;
    const float cx = panel.w / 2;
    c.gfx.draw_icon(icons::plug, {cx, top + c.d(34)}, c.d(30), p[Pal::muted]);
    c.gfx.draw_text(platform_tr(PlatformText::no_ports),
                    {c.d(12), top + c.d(60), panel.w - c.d(24), c.d(24)}, p[Pal::text],
                    TextFormat::normal, Align::centre);
    c.gfx.draw_text(tr("장치를 꽂으면 여기에 나타납니다", "Plug in a device and it shows up here"),
                    {c.d(12), top + c.d(84), panel.w - c.d(24), c.d(20)},
                    readable(p[Pal::muted], p[Pal::port_panel]), TextFormat::small, Align::centre);
  }
  for (const PortRowItem& row : c.frame.port_rows) paint_port_row(c, row);
  paint_open_by_path(c);
  c.gfx.pop_clip();

  // Auto-open: a check box bound to the AutoOpen setting.
  const Rect ao = l.auto_open;
  Color ao_face = p[Pal::port_panel];
  if (c.hovered(target::auto_open)) {
    c.gfx.fill_rect(ao, p[Pal::muted].with_opacity(0.06f));
    ao_face = over(p[Pal::muted].with_opacity(0.06f), ao_face);
  }
  hline(c, 0, ao.w - std::max(1.0f, std::floor(c.s())), ao.y, p[Pal::separator]);
  const bool on = flag(c.app.settings(), "AutoOpen");
  const float box = c.d(16);
  const Rect check{c.d(16), std::round(ao.y + (ao.h - box) / 2), box, box};
  if (on) {
    c.gfx.fill_rounded_rect(check, c.d(4), p[Pal::accent]);
    c.gfx.draw_icon(icons::check, {check.x + box / 2, check.y + box / 2}, c.d(16),
                    ink_on(p[Pal::accent]));
  } else {
    const float w = 1.5f * c.s();
    c.gfx.stroke_rounded_rect({check.x + w / 2, check.y + w / 2, box - w, box - w}, c.d(4), w,
                              p[Pal::muted].with_opacity(0.7f));
  }
  // On two lines where the narrow panel cannot hold it on one.
  const float lx = check.right() + c.d(10);
  const float lw = ao.w - lx - c.d(12);
  const std::vector<std::string> lines = two_lines(
      c.gfx, tr("새 장치를 바로 열기", "Open new devices right away"), lw, TextFormat::normal);
  const Color ao_text = readable(p[Pal::text], ao_face);
  if (lines.size() == 1) {
    c.gfx.draw_text(lines[0], {lx, ao.y, lw, ao.h}, ao_text, TextFormat::normal, Align::leading);
  } else {
    const float line_h = (ao.h - c.d(8)) / 2;
    for (size_t i = 0; i < 2; ++i) {
      c.gfx.draw_text(lines[i], {lx, ao.y + c.d(4) + line_h * static_cast<float>(i), lw, line_h},
                      ao_text, TextFormat::normal, Align::leading);
    }
  }
}

void paint_tab_row(const PaintContext& c) {
  const Palette& p = c.pal;
  const Rect row = c.frame.layout.tab_row;
  const float px = std::max(1.0f, std::floor(c.s()));
  c.gfx.fill_rect(row, p[Pal::top_bar]);
  hline(c, row.x, row.right(), row.bottom() - px, p[Pal::separator]);
  c.gfx.push_clip(row);
  for (const TabItem& t : c.frame.tabs) {
    const Rect r = t.rect;
    const float radius = c.d(8);
    Color face = p[Pal::top_bar];
    if (t.selected) {
      // The selected tab opens into the content below it.
      face = p[Pal::background];
      c.gfx.fill_rounded_rect({r.x, r.y, r.w, r.h + radius}, radius, p[Pal::separator]);
      c.gfx.fill_rounded_rect({r.x + px, r.y + px, r.w - 2 * px, r.h + radius}, radius - px, face);
    } else if (c.hovered(target::tab, t.index) || c.hovered(target::tab_close, t.index)) {
      face = over(p[Pal::muted].with_opacity(0.08f), face);
      c.gfx.fill_rounded_rect({r.x, r.y, r.w, r.h - c.d(4)}, radius,
                              p[Pal::muted].with_opacity(0.08f));
    }
    const float cy = r.y + (t.selected ? r.h : r.h - c.d(4)) / 2;
    c.gfx.fill_circle({r.x + c.d(16), cy}, c.d(3.5f), state_dot_colour(t.kind, p));
    const float tx = r.x + c.d(28);
    c.gfx.draw_text(t.label, {tx, cy - c.d(12), t.close.x - tx - c.d(2), c.d(24)},
                    readable(t.selected ? p[Pal::text] : p[Pal::muted], face),
                    t.selected ? TextFormat::bold : TextFormat::normal, Align::leading);
    const Point cc{t.close.x + t.close.w / 2, cy};
    if (c.hovered(target::tab_close, t.index)) {
      c.gfx.fill_circle(cc, t.close.w / 2, p[Pal::muted].with_opacity(0.18f));
    }
    c.gfx.draw_icon(icons::cross, cc, c.d(13), p[Pal::muted]);
  }
  c.gfx.pop_clip();
  if (c.frame.session != nullptr && c.frame.state_text) {
    const StateText st = session_state_text(*c.frame.session, p);
    c.gfx.draw_text(st.text, *c.frame.state_text, readable(st.colour, p[Pal::top_bar]),
                    TextFormat::normal, Align::trailing);
  }
}

void paint_no_tab(const PaintContext& c) {
  const Palette& p = c.pal;
  const WindowLayout& l = c.frame.layout;
  const Rect area{l.panel_width, l.top_bar.bottom(), l.width - l.panel_width,
                  l.height - l.top_bar.bottom()};
  const float w = std::min(area.w - c.d(48), c.d(700));
  const float h = c.d(228);
  if (w <= 0) return;
  const Rect card{std::round(area.x + (area.w - w) / 2),
                  std::round(area.y + std::max(c.d(24), (area.h - h) / 2.4f)), w, h};
  c.gfx.fill_rounded_rect(card, c.d(12), p[Pal::card]);
  const float px = std::max(1.0f, std::floor(c.s()));
  c.gfx.stroke_rounded_rect({card.x + px / 2, card.y + px / 2, card.w - px, card.h - px}, c.d(12),
                            px, p[Pal::separator]);
  const float cx = card.x + card.w / 2;
  c.gfx.fill_circle({cx, card.y + c.d(44)}, c.d(24), p[Pal::accent].with_opacity(0.12f));
  c.gfx.draw_icon(icons::plug, {cx, card.y + c.d(44)}, c.d(30), p[Pal::accent]);
  const std::string title = c.app.state().ports.empty()
                                ? tr("장치를 꽂으세요", "Plug in a device")
                                : tr("왼쪽에서 포트를 고르세요", "Pick a port on the left");
  const float inner = card.w - c.d(40);
  const float title_y = card.y + c.d(78);
  c.gfx.draw_text(title, {card.x + c.d(20), title_y, inner, c.d(32)},
                  readable(p[Pal::text], p[Pal::card], kLargeTextContrast), TextFormat::title,
                  Align::centre);
  const std::string lines[] = {
      platform_tr(PlatformText::plug_in_hint),
      tr("포트를 클릭해서 여세요. 받은 줄마다 시각이 붙습니다.",
         "Click a port to open it; every received line gets the time."),
      fill(platform_tr(PlatformText::disconnect_hint), {folder_as_shown(c.app.state().log_folder)}),
  };
  float y = title_y + c.d(48);
  for (const std::string& line : lines) {
    c.gfx.draw_text(line, {card.x + c.d(20), y, inner, c.d(22)},
                    readable(p[Pal::muted], p[Pal::card]), TextFormat::normal, Align::centre);
    y += c.d(26);
  }
}

}  // namespace lw
