#include "files/save_log.h"

#include "base/ascii.h"
#include "base/text_file.h"
#include "base/utf8_path.h"
#include "files/file_names.h"
#include "lang/tr.h"
#include "log/display.h"

namespace lw {

namespace {

std::string_view direction_word(Direction d) {
  switch (d) {
    case Direction::Sent:
      return "tx";
    case Direction::Mark:
      return "mark";
    case Direction::Received:
      break;
  }
  return "rx";
}

// Besides the usual CSV rule, a leading blank is quoted so that readers
// which trim fields keep it.
void append_text_field(std::string& out, std::string_view field) {
  const bool quote =
      field.find_first_of(",\"\r\n") != std::string_view::npos || field.starts_with(' ');
  if (!quote) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

bool has_csv_extension(const std::filesystem::path& path) {
  const std::string ext = utf8_from_path(path.extension());
  return ascii_equal_ignoring_case(ext, ".csv");
}

}  // namespace

bool can_save_log(const Log& log) { return log.line_count() > 0; }

std::string no_log_to_save_text() { return tr("저장할 로그가 없습니다", "There's no log to save"); }

SaveDialogSetup save_dialog_setup(const LogOrigin& origin, const std::filesystem::path& folder,
                                  Millis now) {
  SaveDialogSetup s;
  s.title = tr("로그 저장", "Save log");
  s.types.push_back({tr("시간이 붙은 텍스트 (*.txt)", "Text with times (*.txt)"), "*.txt"});
  s.types.push_back({"CSV (*.csv)", "*.csv"});
  s.default_extension = "txt";
  s.suggested_name = save_log_name(origin.port_name, origin.description, now);
  (void)ensure_folder(folder);  // the dialog opens elsewhere if this fails
  s.folder = folder;
  return s;
}

SaveFormat save_format(const std::filesystem::path& chosen, size_t type_index) {
  if (type_index == static_cast<size_t>(SaveFormat::Csv) || has_csv_extension(chosen)) {
    return SaveFormat::Csv;
  }
  return SaveFormat::Text;
}

std::string log_as_text(const Log& log, bool hex, const LogOrigin& origin) {
  std::string out = header_line(origin.port_name, origin.description, origin.settings);
  out += "\r\n";
  log.for_each_from(log.first_absolute(), [&](uint64_t, const LineRecord& r) {
    out += file_line(r, hex);
    out += "\r\n";
  });
  return out;
}

std::string csv_row(const LineRecord& record) {
  std::string row = format_date(record.time);
  row += ',';
  row += format_hms_millis(record.time);
  row += ',';
  row += direction_word(record.direction);
  row += ',';
  append_text_field(row, line_text(record, false));
  row += ',';
  if (record.direction != Direction::Mark) row += line_text(record, true);
  return row;
}

std::string log_as_csv(const Log& log) {
  std::string out = "date,time,direction,text,hex\r\n";
  log.for_each_from(log.first_absolute(), [&](uint64_t, const LineRecord& r) {
    out += csv_row(r);
    out += "\r\n";
  });
  return out;
}

SaveLogResult save_log(const Log& log, const LogOrigin& origin, const std::filesystem::path& chosen,
                       size_t type_index) {
  const std::string text = save_format(chosen, type_index) == SaveFormat::Csv
                               ? log_as_csv(log)
                               : log_as_text(log, log.hex_view(), origin);
  SaveLogResult r;
  r.path = chosen;
  if (Status s = write_text_file(chosen, text); !s) {
    r.notice = tr("저장하지 못했습니다", "Couldn't save");
    r.error = true;
    return r;
  }
  r.saved = true;
  r.notice = fill(tr("저장했습니다: {0}", "Saved: {0}"), {utf8_from_path(chosen.filename())});
  return r;
}

}  // namespace lw
