#pragma once
// Alerts: the application-wide rules checked against every received line of
// every tab, and what each tab keeps about the lines that fired.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/time.h"
#include "lab/alert_rules.h"
#include "lab/extract.h"
#include "lab/notice.h"

namespace lw {

class Settings;

inline constexpr Millis kAlertSaveHalfSpan = 30'000;  // saved before and after the moment
inline constexpr size_t kAlertLinesPruneAt = 50'000;

struct PendingAlertSave {
  Millis due_at = 0;    // line-stamp clock
  Millis alert_at = 0;  // the alert's moment
  bool operator==(const PendingAlertSave&) const = default;
};

// Per tab.
struct TabAlerts {
  // Absolute numbers of received lines that fired, ascending.
  std::deque<uint64_t> alert_lines;
  uint64_t alert_total = 0;  // lines that fired at least one rule
  std::vector<PendingAlertSave> pending_saves;

  bool is_alert_line(uint64_t line_number) const;
  // The log was cleared: its lines are gone.
  void clear_log() { alert_lines.clear(); }
};

// What the caller must do after a line was checked.
struct AlertOutcome {
  // Written out so that making one per line is a few stores, not a fill of
  // the whole object (which GCC does for the implicit one).
  AlertOutcome() {}

  bool fired = false;               // the line fired at least one rule
  std::optional<LabNotice> notice;  // "Alert: T > 30 (COM3)"
  bool beep = false;                // the system exclamation sound
};

// The rules, kept in the order they were added, with the notice spacing.
// Every change is stored at once as "Rules"; times for the notice come from
// the clock's monotonic side.
class AlertBook {
 public:
  AlertBook(Settings& settings, Clock& clock);

  const std::vector<AlertRule>& rules() const { return rules_; }

  // Reads "Rules" (missing means none), replacing the list.
  void load_rules();
  void store_rules();

  // Checks one received line of a tab, in rule order. line_number is the
  // line's absolute number, dropped the log's dropped count.
  AlertOutcome check_line(TabAlerts& tab, uint64_t line_number, uint64_t dropped, Millis stamp,
                          std::string_view text, std::span<const ExtractedValue> values,
                          std::string_view port_name);

  // The dialogs: "Alert added", or the error "Type a number".
  LabNotice add_value_alert(std::string_view series_name, AlertKind kind,
                            std::string_view limit_text);
  // Nothing for an empty (trimmed) text.
  std::optional<LabNotice> add_text_alert(std::string_view text);
  void toggle_save_log_around(size_t index);
  void toggle_play_sound(size_t index);
  void remove_alert(size_t index);

 private:
  void rules_changed();

  Settings& settings_;
  Clock& clock_;
  std::vector<AlertRule> rules_;
  std::vector<std::string> lower_needles_;  // parallel to rules_
  bool has_text_rules_ = false;
  int64_t last_notice_at_;
  std::string lower_line_;     // reused per line
  std::vector<size_t> fired_;  // reused per line
};

}  // namespace lw
