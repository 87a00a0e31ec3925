#pragma once
// The one application state, owned by the window thread: the tabs, the port
// list, the search text, the notice, the measurement side and the settings.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/badge.h"
#include "app/session.h"
#include "lab/measure.h"
#include "log/display.h"
#include "ports/port_info.h"

namespace lw {

struct ShownNotice {
  Notice notice;
  int64_t shown_at_mono = 0;
  int lifetime_ms = 3000;
};

struct AppOptions {
  bool demo = false;  // simulated devices instead of the machine's ports
  std::optional<std::filesystem::path> docs;
};

// What the window layer keeps for this application. The application only
// owns it, so it goes away with the App.
struct WindowSide {
  virtual ~WindowSide() = default;
};

struct AppState {
  std::vector<std::unique_ptr<Session>> sessions;  // tab order
  std::optional<size_t> current;                   // the current tab
  std::vector<PortInfo> ports;                     // the last scan
  std::vector<RecentArrival> recent_arrivals;      // oldest first
  std::string search_text;                         // trimmed, lower-cased
  StampMode stamp_mode = StampMode::Time;
  std::optional<ShownNotice> notice;
  std::filesystem::path log_folder;
  size_t visible_rows = 30;  // rows the log view shows; set by the layout
  std::unique_ptr<LabApp> lab;
  std::unique_ptr<WindowSide> window_side;

  Session* find_session(uint64_t id);
  Session* current_session();
};

}  // namespace lw
