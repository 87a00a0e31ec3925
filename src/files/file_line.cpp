#include "files/file_names.h"
#include "log/display.h"
#include "serial/settings_text.h"

namespace lw {

std::string header_line(std::string_view port_name, std::string_view description,
                        const PortSettings& settings) {
  std::string out = "# Linewick \xC2\xB7 ";
  out += port_name;
  out += " \xC2\xB7 ";
  out += description.empty() ? std::string_view("-") : description;
  out += " \xC2\xB7 ";
  out += std::to_string(settings.baud);
  out += ' ';
  out += frame_summary(settings);
  return out;
}

std::string file_line(const LineRecord& record, bool hex) {
  std::string text = line_text(record, hex);
  if (record.direction == Direction::Mark) return text;
  std::string out;
  append_file_line(out, record, format_date_time(record.time), text);
  return out;
}

void append_file_line(std::string& out, const LineRecord& record, std::string_view stamp,
                      std::string_view text) {
  if (record.direction != Direction::Mark) {
    out += stamp;
    out += "  ";
    if (record.direction == Direction::Sent) out += "\xE2\x86\x92 ";
  }
  out += text;
}

}  // namespace lw
