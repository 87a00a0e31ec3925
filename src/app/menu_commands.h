#pragma once
// The main menu's commands: the stored switches, how much a disconnect
// keeps, the values CSV mode, the language, and the folder, web page and
// update actions. Free of the window, so tests call them directly.
#include <cstdint>
#include <string_view>

#include "app/app.h"

namespace lw {

// AutoOpen, AutoReconnect, CutSave, Latency, AutoUpdate: flips the stored
// flag (with its own default) and repaints.
void toggle_setting(App& app, std::string_view name);
// "CsvShared": flips the mode, stops every values CSV (the shared one and
// each tab's) and says to turn it on again.
void toggle_csv_shared(App& app);
// "CutKeep": minutes up to 60, lines above.
void set_cut_keep(App& app, uint32_t value);
// Stores the code ("" follows the system) for the next start, and says so.
void store_language(App& app, std::string_view code);
// "Open the log folder (Documents\Linewick)": created first.
void open_log_folder(App& app);
// "More apps from Hollent": the maker's page for the interface language.
void open_maker_page(App& app);

}  // namespace lw
