#include "lab/measure.h"

#include <gtest/gtest.h>

#include "support/memory_settings.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

class MeasureTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    app.emplace(settings, clock, dir_);
  }

  AlertOutcome receive(std::string_view text, Millis stamp) {
    const ReceivedLine line{next_line, 0, stamp, text, "COM3"};
    const AlertOutcome out = measure_line(*app, tab, line, [&] { ++next_line; });
    return out;
  }

  test::MemorySettings settings;
  test::ManualClock clock;
  std::optional<LabApp> app;
  TabLab tab;
  uint64_t next_line = 0;
  const Millis t0 = millis_from_civil(CivilTime{2026, 12, 6, 14, 0, 0, 0});
};

TEST_F(MeasureTest, StepsRunInTheirOrderAroundTheLogAppend) {
  settings.set_dword("Latency", 1);
  app->alerts().add_value_alert("T", AlertKind::Above, "30");
  tab.values_csv.emplace(dir_, "tab", false);
  app->shared_csv.emplace(dir_, "shared", true);
  tab.replies.on_send(t0 - 12);

  bool appended = false;
  const ReceivedLine line{0, 0, t0, "T=40", "COM3"};
  const AlertOutcome out = measure_line(*app, tab, line, [&] {
    appended = true;
    // Before the log: reply time, series and the tab's CSV row.
    EXPECT_EQ(tab.replies.reply_time(0), 12);
    ASSERT_EQ(tab.series.series().size(), 1u);
    EXPECT_EQ(tab.values_csv->columns(), (std::vector<std::string>{"T"}));
    // After it: the shared row and the alerts.
    EXPECT_TRUE(app->shared_csv->columns().empty());
    EXPECT_EQ(tab.alerts.alert_total, 0u);
  });
  EXPECT_TRUE(appended);
  EXPECT_EQ(app->shared_csv->columns(), (std::vector<std::string>{"COM3 T"}));
  EXPECT_TRUE(out.fired);
  ASSERT_TRUE(out.notice);
  EXPECT_EQ(out.notice->text, "Alert: T > 30 (COM3)");
  EXPECT_TRUE(out.beep);
  EXPECT_EQ(tab.alerts.alert_total, 1u);
  EXPECT_EQ(tab.alerts.pending_saves.size(), 1u);
}

TEST_F(MeasureTest, LinesWithoutNumbersStillReachTheAlertsButNoCsv) {
  app->alerts().add_text_alert("ERROR");
  tab.values_csv.emplace(dir_, "tab", false);
  EXPECT_TRUE(receive("Sensor ERROR", t0).fired);
  EXPECT_TRUE(tab.series.series().empty());
  EXPECT_TRUE(tab.values.empty());
  tab.values_csv.reset();
  EXPECT_TRUE(names().empty());  // no row, so no file
}

TEST_F(MeasureTest, ValuesGoToSeriesAndEveryCsvEvenPastSixteenSeries) {
  tab.values_csv.emplace(dir_, "tab", false);
  std::string line;
  for (int i = 0; i < 17; ++i) line += "v" + std::to_string(i) + "=" + std::to_string(i) + " ";
  (void)receive(line, t0);
  EXPECT_EQ(tab.series.series().size(), kMaxSeries);
  EXPECT_EQ(tab.values_csv->columns().size(), 17u);
}

TEST_F(MeasureTest, PerPortToggleAndNotes) {
  EXPECT_FALSE(values_csv_on(*app, tab));
  const LabNotice on = toggle_values_csv(*app, tab, "COM3-Arduino Uno");
  EXPECT_EQ(on.text,
            "Numbers read from each line go into a CSV (time, seconds since start, one column per "
            "value)");
  ASSERT_EQ(on.actions.size(), 1u);
  EXPECT_EQ(on.actions[0].kind, NoticeAction::Kind::OpenFolder);
  EXPECT_EQ(on.actions[0].path, dir_);
  EXPECT_TRUE(values_csv_on(*app, tab));
  EXPECT_TRUE(names().empty());  // the file comes with the first row

  (void)receive("T=1", t0);
  write_note(tab, t0 + 1'000, "pump on, 5 V");
  std::vector<TabLab*> tabs = {&tab};
  flush_values_csv(*app, tabs);
  EXPECT_EQ(read(dir_ / "COM3-Arduino Uno-values-2026-12-06.csv"),
            std::string(kBom) +
                "time,elapsed_s,T,note\r\n"
                "2026-12-06T14:00:00.000,0.000,1,\r\n"
                "2026-12-06T14:00:01.000,1.000,,\"pump on, 5 V\"\r\n");

  const LabNotice off = toggle_values_csv(*app, tab, "COM3-Arduino Uno");
  EXPECT_EQ(off.text, "Stopped recording values");
  EXPECT_TRUE(off.actions.empty());
  EXPECT_FALSE(tab.values_csv);
  write_note(tab, t0 + 2'000, "ignored");  // off: nowhere to go
}

TEST_F(MeasureTest, SwitchingTheModeStopsAllRecording) {
  TabLab other;
  std::vector<TabLab*> tabs = {&tab, &other};
  (void)toggle_values_csv(*app, tab, "COM3");
  (void)receive("T=1", t0);

  const LabNotice switched = toggle_shared_mode(*app, tabs);
  EXPECT_EQ(switched.text, "Changed how values are recorded. Turn Values CSV on again");
  EXPECT_EQ(settings.get_dword("CsvShared"), 1u);
  EXPECT_FALSE(tab.values_csv);
  // Closing flushed the row already written.
  EXPECT_NE(read(dir_ / "COM3-values-2026-12-06.csv").find("14:00:00.000,0.000,1,"),
            std::string::npos);

  const LabNotice on = toggle_values_csv(*app, other, "COM4");
  EXPECT_EQ(on.text, "Values from all open ports go into one CSV on one clock");
  EXPECT_TRUE(app->shared_csv);
  EXPECT_FALSE(other.values_csv);
  EXPECT_TRUE(values_csv_on(*app, tab));  // the shared writer serves every tab
  (void)receive("T=2", t0 + 500);
  write_note(tab, t0 + 600, "not in the shared file");

  (void)toggle_shared_mode(*app, tabs);
  EXPECT_EQ(settings.get_dword("CsvShared"), 0u);
  EXPECT_FALSE(app->shared_csv);
  EXPECT_EQ(read(dir_ / "ports-values-2026-12-06.csv"), std::string(kBom) +
                                                            "time,elapsed_s,COM3 T,note\r\n"
                                                            "2026-12-06T14:00:00.500,0.000,2,\r\n");
}

TEST_F(MeasureTest, ClearingTheLogEmptiesThePerLineTables) {
  settings.set_dword("Latency", 1);
  app->alerts().add_text_alert("x");
  tab.replies.on_send(t0);
  (void)receive("x", t0 + 5);
  EXPECT_TRUE(tab.alerts.is_alert_line(0));
  EXPECT_TRUE(tab.replies.reply_time(0));
  tab.clear_log();
  EXPECT_FALSE(tab.alerts.is_alert_line(0));
  EXPECT_FALSE(tab.replies.reply_time(0));
  EXPECT_EQ(tab.alerts.alert_total, 1u);
}

}  // namespace
}  // namespace lw
