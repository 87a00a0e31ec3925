#pragma once
// Painting the one window: every region, from the application state, in
// one frame.
#include "app/app.h"
#include "gfx/gfx.h"

namespace lw {

// The whole client area, width x height physical pixels, at gfx.scale().
// Also sets the application's visible row count from the log's height.
void paint_window(App& app, Gfx& gfx, float width_px, float height_px);

// The palette the window paints with: the host passes the system's dark or
// light setting at start and whenever it changes. Until then the first
// frame asks the system.
void set_dark_theme(App& app, bool dark);

}  // namespace lw
