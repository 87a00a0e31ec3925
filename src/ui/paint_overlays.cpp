// What is drawn over everything else: the notice and the tooltip.
#include <algorithm>
#include <cmath>

#include "ui/colours.h"
#include "ui/hit_test.h"
#include "ui/paint_context.h"
#include "ui/readable.h"
#include "ui/shapes.h"

namespace lw {

namespace {

// A dark box in the light theme; a raised card in the dark one.
Color overlay_fill(const PaintContext& c) {
  return c.dark ? c.pal[Pal::card] : c.pal[Pal::text].with_opacity(0.94f);
}

void overlay_border(const PaintContext& c, const Rect& r, float radius) {
  if (!c.dark) return;
  const float px = std::max(1.0f, std::floor(c.s()));
  c.gfx.stroke_rounded_rect({r.x + px / 2, r.y + px / 2, r.w - px, r.h - px}, radius, px,
                            c.pal[Pal::separator]);
}

}  // namespace

void paint_notice(const PaintContext& c) {
  if (!c.frame.notice) return;
  const NoticeFrame& n = *c.frame.notice;
  const float radius = c.d(10);
  // Over the log, whose colour the light theme's see-through box mixes in.
  const Color fill = n.error ? colours::red : over(overlay_fill(c), c.pal[Pal::log]);
  Color text = c.dark ? c.pal[Pal::text] : colours::white;
  Color action = dark_palette[Pal::accent];
  // The action's face: the action colour faintly, or on the red a shade darker.
  Color action_face = action;
  if (n.error) {
    c.gfx.fill_rounded_rect(n.rect, radius, fill);
    text = action = colours::white;
    action_face = Color{0, 0, 0, 1};
  } else {
    c.gfx.fill_rounded_rect(n.rect, radius, overlay_fill(c));
    overlay_border(c, n.rect, radius);
  }
  c.gfx.draw_text(n.message, n.text, readable(text, fill), TextFormat::normal, Align::leading);
  for (size_t i = 0; i < n.actions.size(); ++i) {
    const Rect& r = n.actions[i];
    const bool hot = c.hovered(target::notice_action, i);
    const Color face = action_face.with_opacity(hot ? 0.28f : 0.16f);
    c.gfx.fill_rounded_rect(r, c.d(6), face);
    c.gfx.draw_text(n.action_labels[i], r, readable(action, over(face, fill)), TextFormat::bold,
                    Align::centre);
  }
}

void paint_tooltip(const PaintContext& c) {
  if (!c.ui.tooltip_shown) return;
  const std::string text = tooltip_text(c.frame, c.ui.hover);
  if (text.empty()) return;
  const std::optional<Rect> anchor = hit_rect(c.frame, c.ui.hover);
  if (!anchor) return;
  const WindowLayout& l = c.frame.layout;
  const float pad = c.d(8);
  const float h = c.d(26);
  const float w =
      std::min(std::ceil(c.gfx.measure_text(text, TextFormat::small)) + 2 * pad + c.d(2),
               std::max(c.d(60), l.width - c.d(16)));
  // Under the widget, or over it when there is no room below; inside the window.
  float y = anchor->bottom() + c.d(6);
  if (y + h > l.height - c.d(4)) y = anchor->y - c.d(6) - h;
  float x = c.ui.mouse && anchor->w > c.d(300) ? c.ui.mouse->x : anchor->x;
  x = std::clamp(x, c.d(8), std::max(c.d(8), l.width - c.d(8) - w));
  const Rect box{std::round(x), std::round(y), w, h};
  const float radius = c.d(6);
  c.gfx.fill_rounded_rect(box, radius, overlay_fill(c));
  overlay_border(c, box, radius);
  c.gfx.draw_text(text, {box.x + pad, box.y, box.w - 2 * pad + c.d(2), box.h},
                  c.dark ? c.pal[Pal::text] : colours::white, TextFormat::small, Align::leading);
}

}  // namespace lw
