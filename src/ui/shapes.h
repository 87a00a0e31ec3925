#pragma once
// Shapes the painters share.
#include "gfx/gfx.h"

namespace lw {

// The colour `top` gives when painted over the opaque `under`.
Color over(Color top, Color under);

// A rounded box with a border inside its edge. When both colours are opaque
// the border is a fill under a smaller fill of the face: much cheaper than
// stroking a rounded outline, and the same pixels.
void framed_box(Gfx& gfx, Rect r, float radius, Color face, Color border, float border_width);

}  // namespace lw
