#include "lab/alert_saves.h"

#include "base/text_file.h"
#include "base/utf8_path.h"
#include "files/file_names.h"
#include "lang/tr.h"

namespace lw {

std::string around_alert_text(const AlertSaveSource& source, Millis alert_at) {
  std::string out = header_line(source.port_name, source.description, source.settings);
  out += "\r\n# ";
  out += fill(tr("알림 시각 {0}, 앞뒤 {1}초", "Alert at {0}, {1} s before and after"),
              {format_date_time(alert_at), std::to_string(kAlertSaveHalfSpan / 1000)});
  out += "\r\n";
  const Millis from = alert_at - kAlertSaveHalfSpan;
  const Millis to = alert_at + kAlertSaveHalfSpan;
  const bool hex = source.log.hex_view();
  // Every line is looked at: a clock that stepped back leaves the log out of
  // time order.
  source.log.for_each_from(source.log.first_absolute(), [&](uint64_t, const LineRecord& r) {
    if (r.time < from || r.time > to) return;
    out += file_line(r, hex);
    out += "\r\n";
  });
  return out;
}

std::string around_alert_file_name(const AlertSaveSource& source, Millis alert_at) {
  return event_file_name(source.port_name, source.description, alert_at, tr("알림", "alert"));
}

std::optional<std::filesystem::path> flush_alert_saves(TabAlerts& tab,
                                                       const AlertSaveSource& source, bool force,
                                                       Millis now) {
  std::optional<std::filesystem::path> last;
  std::vector<PendingAlertSave> waiting;
  for (const PendingAlertSave& p : tab.pending_saves) {
    if (!force && p.due_at > now) {
      waiting.push_back(p);
      continue;
    }
    const std::filesystem::path path =
        source.folder / path_from_utf8(around_alert_file_name(source, p.alert_at));
    if (write_text_file(path, around_alert_text(source, p.alert_at)).ok()) last = path;
  }
  tab.pending_saves = std::move(waiting);
  return last;
}

LabNotice alert_saved_notice(const std::filesystem::path& file) {
  LabNotice n;
  n.text = fill(tr("알림 전후의 로그를 저장했습니다: {0}", "Saved the log around the alert: {0}"),
                {utf8_from_path(file.filename())});
  n.actions = {{NoticeAction::Kind::OpenFile, file}, {NoticeAction::Kind::OpenFolder, file}};
  return n;
}

}  // namespace lw
