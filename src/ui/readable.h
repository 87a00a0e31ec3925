#pragma once
// Text colours that stay readable on what they are drawn over: the painter
// asks for the colour a role calls for (muted, accent, red) and gets it back
// as it is where it already stands out enough, else darkened or lightened
// just enough. Contrast is the WCAG ratio of relative luminances.
#include "gfx/gfx.h"

namespace lw {

inline constexpr float kTextContrast = 4.5f;
inline constexpr float kLargeTextContrast = 3.0f;  // the title format

// The contrast ratio of two opaque colours, 1 to 21.
float contrast_ratio(Color a, Color b);

// `ink` over the opaque `backdrop` when it reaches `ratio`; else mixed
// towards black or white (away from the backdrop) until it does, opaque.
Color readable(Color ink, Color backdrop, float ratio = kTextContrast);

// Text on a filled button or pill: white, or the dark ink where white does
// not stand out (the light greens).
Color ink_on(Color fill);

}  // namespace lw
