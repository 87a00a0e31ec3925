#pragma once
// The program icon: the top bar's plug icon, white on a rounded tile in the
// accent colour, drawn from the plug's icon path at any size.
typedef struct _cairo cairo_t;

namespace lw {

// Draws the icon filling a `size` x `size` target from its top-left corner
// on a transparent background.
void draw_program_icon(cairo_t* cr, int size);

}  // namespace lw
