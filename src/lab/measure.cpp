#include "lab/measure.h"

#include "lang/tr.h"
#include "settings/values.h"

namespace lw {

LabApp::LabApp(Settings& settings, Clock& clock, std::filesystem::path log_folder)
    : settings_(settings), log_folder_(std::move(log_folder)), alerts_(settings, clock) {}

bool LabApp::shared_mode() const { return csv_shared(settings_); }

void measure_before_log(LabApp& app, TabLab& tab, const ReceivedLine& line) {
  tab.replies.on_received_line(line.line_number, line.stamp, line.dropped, app.settings());
  extract_values(line.text, tab.values);
  if (tab.values.empty()) return;
  tab.series.append_values(line.stamp, tab.values);
  // A row that cannot be written is dropped; the next one tries again.
  if (tab.values_csv) (void)tab.values_csv->write_row(line.stamp, tab.values, {});
}

AlertOutcome measure_after_log(LabApp& app, TabLab& tab, const ReceivedLine& line) {
  if (!tab.values.empty() && app.shared_csv) {
    (void)app.shared_csv->write_row(line.stamp, tab.values, {}, line.port_name);
  }
  return app.alerts().check_line(tab.alerts, line.line_number, line.dropped, line.stamp, line.text,
                                 tab.values, line.port_name);
}

void write_note(TabLab& tab, Millis stamp, std::string_view note) {
  if (tab.values_csv) (void)tab.values_csv->write_row(stamp, {}, note);
}

bool values_csv_on(const LabApp& app, const TabLab& tab) {
  return app.shared_mode() ? app.shared_csv.has_value() : tab.values_csv.has_value();
}

LabNotice toggle_values_csv(LabApp& app, TabLab& tab, std::string_view file_base) {
  std::optional<ValuesCsvWriter>& writer = app.shared_mode() ? app.shared_csv : tab.values_csv;
  if (writer) {
    writer.reset();  // flushes and closes
    return LabNotice{tr("값 기록을 멈췄습니다", "Stopped recording values"), false, {}};
  }
  LabNotice n;
  if (&writer == &app.shared_csv) {
    writer.emplace(app.log_folder(), shared_values_base(), true);
    n.text = tr("열린 모든 포트의 값을 하나의 시계로 CSV 하나에 기록합니다",
                "Values from all open ports go into one CSV on one clock");
  } else {
    writer.emplace(app.log_folder(), tab_values_base(file_base), false);
    n.text = tr("각 줄에서 읽은 숫자를 CSV에 기록합니다 (시각, 시작 후 초, 값마다 한 열)",
                "Numbers read from each line go into a CSV (time, seconds since start, one "
                "column per value)");
  }
  n.actions = {{NoticeAction::Kind::OpenFolder, app.log_folder()}};
  return n;
}

LabNotice toggle_shared_mode(LabApp& app, std::span<TabLab* const> tabs) {
  (void)toggle(app.settings(), setting::kCsvShared);
  app.shared_csv.reset();
  for (TabLab* tab : tabs) tab->values_csv.reset();
  return LabNotice{tr("값 기록 방식을 바꿨습니다. 값 CSV를 다시 켜 주세요",
                      "Changed how values are recorded. Turn Values CSV on again"),
                   false,
                   {}};
}

void flush_values_csv(LabApp& app, std::span<TabLab* const> tabs) {
  if (app.shared_csv) (void)app.shared_csv->flush();
  for (TabLab* tab : tabs) {
    if (tab->values_csv) (void)tab->values_csv->flush();
  }
}

}  // namespace lw
