// The in-window dialog, drawn over everything else.
#include <algorithm>
#include <cmath>

#include "ui/colours.h"
#include "ui/dialog.h"
#include "ui/hit.h"
#include "ui/paint/paint_context.h"
#include "ui/readable.h"
#include "ui/shapes.h"

namespace lw {

namespace {

constexpr float kCardRadius = 12;
constexpr float kButtonRadius = 7;
constexpr float kCoverOpacity = 0.35f;

void paint_cancel(const PaintContext& c, Rect r) {
  const Palette& p = c.pal;
  const Color face = c.hovered(target::dialog_cancel)
                         ? over(p[Pal::muted].with_opacity(0.1f), p[Pal::card])
                         : p[Pal::card];
  framed_box(c.gfx, r, c.d(kButtonRadius), face, p[Pal::separator],
             std::max(1.0f, std::floor(c.s())));
  c.gfx.draw_text(dialog_cancel_label(), r, readable(p[Pal::text], face), TextFormat::normal,
                  Align::centre);
}

void paint_ok(const PaintContext& c, Rect r) {
  const Palette& p = c.pal;
  const float opacity = c.hovered(target::dialog_ok) ? 0.85f : 1.0f;
  const Color face = over(p[Pal::accent].with_opacity(opacity), p[Pal::card]);
  c.gfx.fill_rounded_rect(r, c.d(kButtonRadius), face);
  c.gfx.draw_text(dialog_ok_label(), r, ink_on(face), TextFormat::normal, Align::centre);
}

}  // namespace

void paint_dialog(const PaintContext& c) {
  if (!c.ui.dialog) return;
  const Dialog& d = *c.ui.dialog;
  const Palette& p = c.pal;
  const WindowLayout& l = c.frame.layout;
  const DialogGeometry g = dialog_geometry(c.gfx, l.width, l.height, c.s());

  c.gfx.fill_rect({0, 0, l.width, l.height}, Color{0, 0, 0, kCoverOpacity});
  c.gfx.fill_rounded_rect(g.card, c.d(kCardRadius), p[Pal::card]);

  const float x = g.card.x + c.d(20);
  const float w = g.card.w - c.d(40);
  c.gfx.draw_text(d.title, {x, g.card.y + c.d(14), w, c.d(30)},
                  readable(p[Pal::text], p[Pal::card]), TextFormat::bold, Align::leading);
  // What was wrong with the last text takes the hint's place until it is fixed.
  c.gfx.draw_text(d.error.empty() ? d.hint : d.error, {x, g.card.y + c.d(42), w, c.d(24)},
                  readable(d.error.empty() ? p[Pal::muted] : colours::red, p[Pal::card]),
                  TextFormat::small, Align::leading);

  Widget field;
  field.id = cmd::dialog_field;
  field.style = WidgetStyle::field;
  field.rect = g.field;
  paint_widget(c, field, p[Pal::card]);

  paint_cancel(c, g.cancel);
  paint_ok(c, g.ok);
}

}  // namespace lw
