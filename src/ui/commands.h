#pragma once
// The window's commands that clicks, popup menus and keys share.
#include "app/app.h"
#include "gfx/gfx.h"
#include "ui/hit.h"
#include "ui/input/input.h"

namespace lw {

// The click table for everything the mouse handling does not own itself
// (fields, log rows and the scroll bar are handled on the press).
void run_click(View v, Hit hit, Point p);

// The selected tab's log: copy the selected lines, select all, clear the
// screen, and "Save log" through the system dialog.
void copy_selected_lines(App& app);
void select_all_lines(App& app);
void clear_log_command(App& app);
void save_log_command(App& app);

}  // namespace lw
