#pragma once
// The measurement side of the program, as the session layer uses it.
//
// Ownership: the application owns one LabApp (the alert rules, the shared
// values CSV writer, the settings and clock the lab reads) and each tab owns
// one TabLab (its series, reply times, alert marks and pending saves, its own
// values CSV writer). Everything runs on the window thread.
//
// For every received record the drain calls measure_line with the record's
// display text (decoded, without control pictures), which runs, in order:
//   1. reply-time bookkeeping          (TabLab::replies)
//   2. extract_values; with values: the tab's series and its values CSV row
//   3. append_to_log()                 (the caller's log append + recording)
//   4. with values: the shared values CSV row
//   5. the alert rules, with the values (possibly none)
// and returns what the window must do about alerts (notice, beep). Sent and
// mark lines skip the pass: they are only appended to the log, but a send
// calls TabLab::replies.on_send(stamp).
//
// Elsewhere:
//   - every 2 s: flush_values_csv(), then flush_alert_saves() (alert_saves.h)
//     for each tab with force false, and one alert_saved_notice() for the
//     last file written;
//   - disconnect and tab close: flush_alert_saves() with force true; closing
//     a tab drops its TabLab, which flushes and closes its values CSV;
//   - clearing a tab's log: TabLab::clear_log();
//   - the note dialog: write_note() on the current tab;
//   - the "Values CSV" button and the shared-mode menu entry:
//     toggle_values_csv() and toggle_shared_mode();
//   - start-up: LabApp::alerts().load_rules().
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "base/result.h"
#include "base/time.h"
#include "lab/alerts.h"
#include "lab/extract.h"
#include "lab/latency.h"
#include "lab/notice.h"
#include "lab/series.h"
#include "lab/values_csv.h"

namespace lw {

class Settings;

// Per tab.
struct TabLab {
  TabSeries series;
  ReplyTimes replies;
  TabAlerts alerts;
  std::optional<ValuesCsvWriter> values_csv;  // the tab's own; on while present
  ValueList values;                           // the line being measured; reused

  // The log was cleared: its per-line tables go with it.
  void clear_log() {
    replies.clear();
    alerts.clear_log();
  }
};

// Application-wide.
class LabApp {
 public:
  LabApp(Settings& settings, Clock& clock, std::filesystem::path log_folder);

  AlertBook& alerts() { return alerts_; }
  const AlertBook& alerts() const { return alerts_; }
  Settings& settings() { return settings_; }
  const std::filesystem::path& log_folder() const { return log_folder_; }
  // "CsvShared": all open ports in one file.
  bool shared_mode() const;

  std::optional<ValuesCsvWriter> shared_csv;  // on while present

 private:
  Settings& settings_;
  std::filesystem::path log_folder_;
  AlertBook alerts_;
};

struct ReceivedLine {
  uint64_t line_number = 0;  // the absolute number the line gets in the log
  uint64_t dropped = 0;      // the log's dropped count before the append
  Millis stamp = 0;
  std::string_view text;  // must stay valid through the whole pass
  std::string_view port_name;
};

// Steps 1 and 2, and steps 4 and 5; measure_line runs them around the append.
void measure_before_log(LabApp& app, TabLab& tab, const ReceivedLine& line);
AlertOutcome measure_after_log(LabApp& app, TabLab& tab, const ReceivedLine& line);

template <class AppendToLog>
AlertOutcome measure_line(LabApp& app, TabLab& tab, const ReceivedLine& line,
                          AppendToLog&& append_to_log) {
  measure_before_log(app, tab, line);
  append_to_log();
  return measure_after_log(app, tab, line);
}

// A note becomes a row of the tab's own values CSV when it is on (never of
// the shared one).
void write_note(TabLab& tab, Millis stamp, std::string_view note);

// Whether the tab's "Values CSV" button shows as on.
bool values_csv_on(const LabApp& app, const TabLab& tab);
// The tab's "Values CSV" button; file_base is the tab's (files/file_names.h).
LabNotice toggle_values_csv(LabApp& app, TabLab& tab, std::string_view file_base);
// "Values CSV: all open ports in one file, on one clock": flips "CsvShared"
// and stops every writer.
LabNotice toggle_shared_mode(LabApp& app, std::span<TabLab* const> tabs);
void flush_values_csv(LabApp& app, std::span<TabLab* const> tabs);

}  // namespace lw
