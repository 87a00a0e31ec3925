#include "lab/summary.h"

#include <charconv>

#include "lang/tr.h"

namespace lw {

namespace {

void add_line(std::string& out, std::string_view label, std::string_view value) {
  if (!out.empty()) out += '\n';
  out += label;
  out += ": ";
  out += value;
}

std::string two_digits(int64_t v) {
  std::string s = std::to_string(v);
  return v < 10 ? "0" + s : s;
}

}  // namespace

std::string byte_amount(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  static constexpr const char* kUnits[] = {"KB", "MB", "GB"};
  double v = static_cast<double>(bytes);
  size_t unit = 0;
  v /= 1024;
  while (v >= 1024 && unit < 2) {
    v /= 1024;
    ++unit;
  }
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  return std::string(buf, static_cast<size_t>(r.ptr - buf)) + " " + kUnits[unit];
}

std::string running_time(Millis ms) {
  const int64_t seconds = ms > 0 ? ms / 1000 : 0;
  return std::to_string(seconds / 3600) + ":" + two_digits(seconds / 60 % 60) + ":" +
         two_digits(seconds % 60);
}

std::string session_summary(const SummaryCounters& c) {
  std::string port(c.port_name);
  if (!c.description.empty()) {
    port += " \xC2\xB7 ";
    port += c.description;
  }
  std::string out;
  add_line(out, tr("포트", "Port"), port);
  add_line(out, tr("시작", "Started"), format_date_time(c.started));
  add_line(out, tr("경과 시간", "Running for"), running_time(c.now - c.started));
  add_line(out, tr("받은 줄", "Lines received"), std::to_string(c.lines_received));
  add_line(out, tr("받은 바이트", "Bytes received"), byte_amount(c.bytes_received));
  add_line(out, tr("연결 끊김", "Disconnects"), std::to_string(c.disconnects));
  add_line(out, tr("다시 연결", "Reconnects"), std::to_string(c.reconnects));
  add_line(out, tr("알림", "Alerts"), std::to_string(c.alerts));
  return out;
}

}  // namespace lw
