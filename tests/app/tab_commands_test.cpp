// The application's tab and main-menu commands without a window: port
// settings kept per device, copying, the stored switches and the values
// CSV mode.
#include "app/tab_commands.h"

#include <gtest/gtest.h>

#include "app/fake_ports.h"
#include "app/menu_commands.h"
#include "host/host_headless.h"
#include "lang/tr.h"
#include "settings/values.h"
#include "support/memory_settings.h"

namespace lw {
namespace {

class TabCommands : public ::testing::Test {
 protected:
  TabCommands() {
    switch_language("en");
    app.state().lab = std::make_unique<LabApp>(settings, clock, "unused");
  }

  Session& add_tab(std::string port, std::string key) {
    auto s = std::make_unique<Session>();
    s->id = next_session_id();
    s->port_name = std::move(port);
    s->device_key = std::move(key);
    app.state().sessions.push_back(std::move(s));
    app.state().current = app.state().sessions.size() - 1;
    return *app.state().sessions.back();
  }
  void append(Session& s, std::string_view text, Millis at) {
    s.append(LineRecord{Bytes(text), at, LineEnding::Lf, Direction::Received}, "");
  }
  std::string notice() {
    return app.state().notice ? app.state().notice->notice.text : std::string();
  }

  test::SharedClock clock;
  HeadlessHost host{clock};
  test::MemorySettings settings;
  test::FakePortSystem ports;
  App app{host, settings, ports, AppOptions{}, nullptr};
};

TEST_F(TabCommands, PortSettingsAreKeptForTheDeviceAndItsModel) {
  Session& s = add_tab("COM5", "1A86:7523@COM5");
  set_baud(app, s, 57600);
  set_data_bits(app, s, 7);
  set_parity(app, s, 2);
  set_stop_bits(app, s, 2);
  toggle_dtr(app, s);
  EXPECT_EQ(s.settings, (PortSettings{57600, 7, 2, 2, false, true}));
  EXPECT_EQ(settings.get_text("1A86:7523@COM5", kDevicesSubkey), "57600,7,E,2,0,1");
  EXPECT_EQ(settings.get_text("1A86:7523", kDevicesSubkey), "57600,7,E,2,0,1");
  toggle_rts(app, s);
  EXPECT_EQ(settings.get_text("1A86:7523@COM5", kDevicesSubkey), "57600,7,E,2,0,0");
}

TEST_F(TabCommands, SettingsReachAnOpenPortThroughItsReader) {
  auto device = ports.add("COM3");
  Session& s = app.open_tab(PortInfo{"COM3", "", {}, {}});
  ASSERT_TRUE(s.is_open());
  set_baud(app, s, 115200);
  // The reader takes the command between reads; the queue empties.
  EXPECT_TRUE(test::wait_until([&] { return !s.channel->has_commands(); }));
  app.close_tab(0);
}

TEST_F(TabCommands, CopyPutsTheSelectedLinesOnTheClipboard) {
  Session& s = add_tab("COM3", "COM3");
  const Millis t = millis_from_civil({2026, 11, 18, 9, 30, 0, 5});
  append(s, "one", t);
  append(s, "two", t + 10);
  copy_tab_lines(app, s);
  EXPECT_EQ(notice(), "Select lines first (click or drag)");
  EXPECT_FALSE(host.clipboard);
  select_all_tab_lines(app, s);
  copy_tab_lines(app, s);
  EXPECT_EQ(host.clipboard, "09:30:00.005  one\r\n09:30:00.015  two");
  EXPECT_EQ(notice(), "Copied 2 lines");
}

TEST_F(TabCommands, StampModeIsStoredAndClearKeepsTheSeries) {
  Session& s = add_tab("COM3", "COM3");
  set_stamp_mode(app, StampMode::SinceOpening);
  EXPECT_EQ(app.state().stamp_mode, StampMode::SinceOpening);
  EXPECT_EQ(stamp_mode(settings), 2u);
  const ValueList v = {{"T", 1}};
  s.lab.series.append_values(1, v);
  append(s, "T=1", 1);
  clear_tab_log(app, s);
  EXPECT_EQ(s.log.line_count(), 0u);
  EXPECT_EQ(s.lab.series.series().size(), 1u);
}

TEST_F(TabCommands, TogglesWriteTheOppositeOfWhatIsRead) {
  struct Case {
    std::string_view name;
    uint32_t first_write;  // what the first toggle of a fresh profile stores
  };
  for (const Case c :
       {Case{setting::kAutoOpen, 1}, Case{setting::kAutoReconnect, 0}, Case{setting::kCutSave, 0},
        Case{setting::kLatency, 1}, Case{setting::kAutoUpdate, 0}}) {
    toggle_setting(app, c.name);
    EXPECT_EQ(settings.get_dword(c.name), c.first_write) << c.name;
    toggle_setting(app, c.name);
    EXPECT_EQ(settings.get_dword(c.name), 1 - c.first_write) << c.name;
  }
  set_cut_keep(app, 100000);
  EXPECT_EQ(cut_keep(settings), 100000u);
}

TEST_F(TabCommands, SwitchingTheValuesCsvModeStopsEveryWriter) {
  Session& a = add_tab("COM3", "COM3");
  Session& b = add_tab("COM4", "COM4");
  toggle_tab_values_csv(app, a);
  EXPECT_EQ(notice(),
            "Numbers read from each line go into a CSV (time, seconds since start, one column "
            "per value)");
  toggle_tab_values_csv(app, b);
  toggle_csv_shared(app);
  EXPECT_FALSE(a.lab.values_csv || b.lab.values_csv || app.state().lab->shared_csv);
  EXPECT_EQ(settings.get_dword(setting::kCsvShared), 1u);
  EXPECT_EQ(notice(), "Changed how values are recorded. Turn Values CSV on again");
}

TEST_F(TabCommands, TheLanguageIsStoredAndTheMakerPageFollowsTheRunningOne) {
  store_language(app, "ko");
  EXPECT_EQ(language_setting(settings), "ko");
  EXPECT_EQ(tr("닫기", "Close"), "Close");
  open_maker_page(app);
  switch_language("ko");
  open_maker_page(app);
  switch_language("en");
  store_language(app, "xx");  // not a language: follows the system
  EXPECT_EQ(language_setting(settings), "");
  ASSERT_EQ(host.opened_urls.size(), 2u);
  EXPECT_EQ(host.opened_urls[0].find("/ko/"), std::string::npos);
  EXPECT_NE(host.opened_urls[1].find("/ko/"), std::string::npos);
}

}  // namespace
}  // namespace lw
