#pragma once
// Alert rules: what they watch, how they read, and their stored form, the
// settings value "Rules": one rule per line, lines joined by LF, five
// tab-separated fields each: kind, name or needle, limit, save flag, sound
// flag ("above\tT\t30\t1\t0").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

enum class AlertKind : uint8_t { Above, Below, Text };

struct AlertRule {
  AlertKind kind = AlertKind::Text;
  std::string series_name;   // above, below
  double limit = 0;          // above, below
  std::string needle;        // text
  uint64_t fired_count = 0;  // not stored
  bool save_log_around = true;
  bool play_sound = true;
  bool beyond = false;  // the last value seen was beyond the limit; not stored
};

AlertRule value_rule(AlertKind kind, std::string_view series_name, double limit);
AlertRule text_rule(std::string_view needle);

// "T > 30", "T < 5", "\"ERROR\"".
std::string describe(const AlertRule& rule);

std::string format_rules(const std::vector<AlertRule>& rules);
// Lines that do not read are skipped; the rest load, with counters and
// crossing states fresh.
std::vector<AlertRule> parse_rules(std::string_view text);

// The limit typed in the alert dialog: trimmed, a decimal comma accepted.
std::optional<double> read_limit(std::string_view text);

}  // namespace lw
