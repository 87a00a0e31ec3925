// An open drop-down panel (the baud presets) over everything but the notice
// and the dialog.
#include <algorithm>
#include <cmath>
#include <string>

#include "gfx/icons.h"
#include "serial/settings_text.h"
#include "ui/paint/paint_context.h"

namespace lw {

namespace {

// The item shown checked: the tab's rate, or "Custom…" for any other rate.
std::optional<size_t> checked_item(const PaintContext& c, const DropDown& d) {
  const Session* s = c.frame.session;
  if (s == nullptr || d.owner != cmd::baud_presets || d.items.empty()) return std::nullopt;
  const auto it = std::find(kBaudPresets.begin(), kBaudPresets.end(), s->settings.baud);
  if (it == kBaudPresets.end()) return d.items.size() - 1;
  return static_cast<size_t>(it - kBaudPresets.begin());
}

}  // namespace

void paint_dropdown(const PaintContext& c) {
  if (!c.ui.dropdown) return;
  const DropDown& d = *c.ui.dropdown;
  const float radius = c.d(8);
  const float px = std::max(1.0f, std::floor(c.s()));
  // A soft edge under the card, then the card and its border.
  c.gfx.fill_rounded_rect({d.panel.x, d.panel.y + c.d(2), d.panel.w, d.panel.h}, radius,
                          c.pal[Pal::text].with_opacity(c.dark ? 0.3f : 0.08f));
  c.gfx.fill_rounded_rect(d.panel, radius, c.pal[Pal::card]);
  c.gfx.stroke_rounded_rect(
      {d.panel.x + px / 2, d.panel.y + px / 2, d.panel.w - px, d.panel.h - px}, radius, px,
      c.pal[Pal::separator]);
  const std::optional<size_t> checked = checked_item(c, d);
  const float inset = c.d(4);
  for (size_t i = 0; i < d.items.size() && i < d.item_rects.size(); ++i) {
    const Rect& r = d.item_rects[i];
    if (d.items[i].empty()) {
      const float y = std::round(r.y + r.h / 2);
      c.gfx.line({r.x + c.d(10), y}, {r.right() - c.d(10), y}, px, c.pal[Pal::separator]);
      continue;
    }
    if (c.hovered(target::dropdown_item, i)) {
      c.gfx.fill_rounded_rect({r.x + inset, r.y, r.w - 2 * inset, r.h}, c.d(5),
                              c.pal[Pal::accent].with_opacity(0.14f));
    }
    if (checked == i) {
      c.gfx.draw_icon(icons::check, {r.x + c.d(18), r.y + r.h / 2}, c.d(16), c.pal[Pal::accent]);
    }
    c.gfx.draw_text(d.items[i], {r.x + c.d(30), r.y, r.w - c.d(40), r.h}, c.pal[Pal::text],
                    checked == i ? TextFormat::bold : TextFormat::normal, Align::leading);
  }
}

}  // namespace lw
