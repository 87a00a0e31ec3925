#pragma once
// A tab that replays a log file instead of a port. The file is opened anew
// at every open of the tab, with a fresh ReplayControl that the tab and the
// replay share.
#include <filesystem>
#include <memory>

#include "session/port.h"
#include "sim/replay_port.h"

namespace lw {

struct ReplayTab {
  std::filesystem::path file;
  ReplaySpeed speed = ReplaySpeed::Normal;
  std::shared_ptr<ReplayControl> control;  // the running replay's
  bool told_end = false;                   // its end was announced
};

// Opens the tab's file for a new run from its first line.
Result<std::unique_ptr<Port>, OpenError> open_replay_port(ReplayTab& tab);

// The speed menu's words: "1×", "10×", "As fast as possible".
std::string replay_speed_label(ReplaySpeed speed);

}  // namespace lw
