#include "app/session_views.h"

namespace lw {

AlertSaveSource alert_source(const Session& s, const std::filesystem::path& folder) {
  return AlertSaveSource{s.log, s.port_name, s.description, s.settings, folder};
}

SummaryCounters summary_counters(const Session& s, Millis now) {
  return SummaryCounters{
      s.port_name,   s.description,          s.started_at,
      now,           s.log.lines_received(), s.earlier_bytes_received + s.bytes_received,
      s.disconnects, s.reconnects,           s.lab.alerts.alert_total};
}

std::vector<std::string> summary_lines(const Session& s, Millis now) {
  const std::string text = session_summary(summary_counters(s, now));
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::string port_and_description(const Session& s) {
  return s.description.empty() ? s.port_name : s.port_name + " · " + s.description;
}

}  // namespace lw
