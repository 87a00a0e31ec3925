#pragma once
// A session seen by the measurement and file code.
#include <filesystem>
#include <string>
#include <vector>

#include "app/session.h"
#include "lab/alert_saves.h"
#include "lab/summary.h"

namespace lw {

AlertSaveSource alert_source(const Session& s, const std::filesystem::path& folder);
SummaryCounters summary_counters(const Session& s, Millis now);
// The summary as separate lines (a recording closes with them as marks).
std::vector<std::string> summary_lines(const Session& s, Millis now);
// "COM3 · Arduino Uno", or the port name alone without a description.
std::string port_and_description(const Session& s);

}  // namespace lw
