#pragma once
// Files holding a tab's log from 30 s before to 30 s after an alert. A save
// waits in TabAlerts::pending_saves until its "after" half has passed.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/time.h"
#include "lab/alerts.h"
#include "lab/notice.h"
#include "log/log.h"
#include "session/records.h"

namespace lw {

// The tab an around-alert file is cut from.
struct AlertSaveSource {
  const Log& log;
  std::string_view port_name;
  std::string_view description;
  const PortSettings& settings;
  std::filesystem::path folder;  // the log folder
};

// The file's text (without the byte-order mark): the header line, the
// "# Alert at ..." line, then every log line stamped within 30 s of the
// moment, in log order, each ended by CR LF.
std::string around_alert_text(const AlertSaveSource& source, Millis alert_at);

// "COM3-Arduino Uno-2026-12-06 140322-alert.txt".
std::string around_alert_file_name(const AlertSaveSource& source, Millis alert_at);

// Writes every pending save that is due at `now` (line-stamp clock), or all
// of them when forced (disconnect, tab close). A failed write is dropped.
// Returns the last file written, if any.
std::optional<std::filesystem::path> flush_alert_saves(TabAlerts& tab,
                                                       const AlertSaveSource& source, bool force,
                                                       Millis now);

// Once every tab is flushed: "Saved the log around the alert: {file}" with
// "Open" and "Open folder".
LabNotice alert_saved_notice(const std::filesystem::path& file);

}  // namespace lw
