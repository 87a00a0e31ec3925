#include "ui/shapes.h"

#include <algorithm>

namespace lw {

Color over(Color top, Color under) {
  const float a = top.a;
  return {top.r * a + under.r * (1 - a), top.g * a + under.g * (1 - a),
          top.b * a + under.b * (1 - a), 1};
}

void framed_box(Gfx& gfx, Rect r, float radius, Color face, Color border, float border_width) {
  const float w = border_width;
  if (face.a >= 1 && border.a >= 1 && r.w > 2 * w && r.h > 2 * w) {
    gfx.fill_rounded_rect(r, radius, border);
    gfx.fill_rounded_rect({r.x + w, r.y + w, r.w - 2 * w, r.h - 2 * w}, std::max(0.0f, radius - w),
                          face);
    return;
  }
  gfx.fill_rounded_rect(r, radius, face);
  gfx.stroke_rounded_rect({r.x + w / 2, r.y + w / 2, r.w - w, r.h - w}, radius, w, border);
}

}  // namespace lw
