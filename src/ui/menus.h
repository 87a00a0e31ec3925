#pragma once
// The window's popup menus: their items in order, with the ids a choice
// returns, and what each choice does. A menu is built, shown through the
// host (modal), and its choice run afterwards.
#include <optional>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "app/host.h"
#include "gfx/gfx.h"

namespace lw {

// Main menu (the top bar's button); ids as its items say.
namespace main_menu {
inline constexpr int auto_open = 1;
inline constexpr int auto_reconnect = 2;
inline constexpr int cut_save = 3;
inline constexpr int open_log_folder = 4;
inline constexpr int auto_update = 5;
inline constexpr int check_updates = 6;
inline constexpr int more_apps = 7;
inline constexpr int about = 8;
inline constexpr int latency = 9;
inline constexpr int csv_shared = 10;
inline constexpr int session_summary = 11;
inline constexpr int replay = 12;
inline constexpr int language_first = 100;  // following the system; the languages follow
inline constexpr int cut_keep_first = 200;  // the nine CutKeep choices
}  // namespace main_menu

std::vector<MenuItem> main_menu_items(App& app);
void run_main_menu_choice(App& app, int id);

// The right-click popup over the log rows.
namespace log_menu {
inline constexpr int copy = 1;
inline constexpr int select_all = 2;
inline constexpr int save = 3;
inline constexpr int clear = 4;
inline constexpr int let_go = 5;  // while the tab's port is open or lent
}  // namespace log_menu

std::vector<MenuItem> log_menu_items(const Session* tab);
void run_log_menu_choice(App& app, int id);

// The popups of the bar widgets, by widget command: the frame setting (8),
// stamp mode (14), line ending (25), presets (34, with sending a file),
// repeat (35), alerts (33), graph span (37), statistics (39) and a replay's
// speed (45). Empty for any other command or when there is no tab.
std::vector<MenuItem> widget_menu_items(App& app, int command);
void run_widget_menu_choice(App& app, int command, int id);

// Before a modal popup menu, message box or save dialog: the tooltip goes
// and the window is painted at once as it stands (the row just right-clicked
// selected, say), since nothing repaints while the modal part is open.
void before_modal(App& app);
// A popup menu at the client point, after before_modal; the chosen id.
std::optional<int> show_popup(App& app, const std::vector<MenuItem>& items, Point at);

// Shows the menu at the client point and runs the choice.
void show_main_menu(App& app, Point at);
void show_log_menu(App& app, Point at);
void show_widget_menu(App& app, int command, Point at);

}  // namespace lw
