// The rescan after device changes, on scripted port lists with an injected
// clock: which tab a returning device reopens, what is announced, and the
// debounce of event bursts.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/fake_ports.h"
#include "host/host_headless.h"
#include "support/memory_settings.h"

namespace lw {
namespace {

PortInfo board(std::string name, std::optional<std::string> serial, std::string description) {
  return PortInfo{std::move(name), std::move(description), std::move(serial), UsbId{0x2341, 0x43}};
}

class Hotplug : public ::testing::Test {
 protected:
  void start(std::vector<PortInfo> listed) {
    ports.listed = std::move(listed);
    auto a = std::make_unique<App>(host, settings, ports, AppOptions{}, nullptr);
    app = a.get();
    app->start();
    host.slot().install(std::move(a));
  }
  // The device behind a port name, so opening it succeeds.
  void plug(const std::string& name) { ports.add(name); }
  void replug(std::vector<PortInfo> listed) {
    ports.listed = std::move(listed);
    app->rescan();
  }
  Session& tab(size_t i) { return *app->state().sessions.at(i); }
  std::string notice() const {
    return app->state().notice ? app->state().notice->notice.text : std::string{};
  }
  // Drains until the tab's reader has reported its end.
  void lose(Session& s, test::DeviceScript& d) {
    d.unplug();
    ASSERT_TRUE(test::wait_until([&] {
      app->drain(s);
      return !s.is_open();
    }));
  }

  test::SharedClock clock;
  HeadlessHost host{clock};
  test::MemorySettings settings;
  test::FakePortSystem ports;
  App* app = nullptr;
};

TEST_F(Hotplug, ABoardWithASerialNumberComesBackOnAnotherPortInTheSameTab) {
  plug("COM3");
  start({board("COM3", "X", "Arduino Uno")});
  EXPECT_TRUE(app->state().recent_arrivals.empty());  // present at start-up: never New
  app->open_tab(app->state().ports[0]);
  lose(tab(0), *ports.devices["COM3"]);
  EXPECT_EQ(tab(0).state.kind, ConnectionKind::Disconnected);

  plug("COM8");
  replug({board("COM8", "X", "Arduino Uno")});
  ASSERT_EQ(app->state().sessions.size(), 1u);
  EXPECT_EQ(tab(0).port_name, "COM8");
  EXPECT_TRUE(tab(0).is_open());
  EXPECT_EQ(tab(0).reconnects, 1u);
  EXPECT_EQ(notice(), "Arduino Uno (COM8) is connected again");
  ASSERT_EQ(app->state().recent_arrivals.size(), 1u);
  EXPECT_EQ(app->state().recent_arrivals[0].name, "COM8");
}

TEST_F(Hotplug, WithoutAutoReconnectTheNoticeOffersReconnect) {
  settings.set_dword("AutoReconnect", 0);
  plug("COM3");
  start({board("COM3", "X", "Arduino Uno")});
  app->open_tab(app->state().ports[0]);
  lose(tab(0), *ports.devices["COM3"]);
  plug("COM3");
  replug({});
  replug({board("COM3", "X", "Arduino Uno")});
  EXPECT_EQ(tab(0).state.kind, ConnectionKind::Disconnected);
  ASSERT_TRUE(app->state().notice);
  ASSERT_EQ(app->state().notice->notice.actions.size(), 1u);
  EXPECT_EQ(app->state().notice->notice.actions[0].kind, NoticeAction::Kind::Reconnect);
  app->run_notice_action(0);
  EXPECT_TRUE(tab(0).is_open());
  EXPECT_EQ(tab(0).reconnects, 1u);
}

TEST_F(Hotplug, ABoardWithoutSerialOnAnotherPortIsNewAndAutoOpenGivesASecondTab) {
  settings.set_dword("AutoOpen", 1);
  plug("COM5");
  start({board("COM5", std::nullopt, "USB-SERIAL CH340")});
  app->open_tab(app->state().ports[0]);
  lose(tab(0), *ports.devices["COM5"]);
  plug("COM9");
  replug({board("COM9", std::nullopt, "USB-SERIAL CH340")});
  EXPECT_EQ(notice(), "COM9 · USB-SERIAL CH340 is connected");
  ASSERT_EQ(app->state().sessions.size(), 2u);
  EXPECT_EQ(tab(0).state.kind, ConnectionKind::Disconnected);
  EXPECT_EQ(tab(1).port_name, "COM9");
  EXPECT_TRUE(tab(1).is_open());
  // A port that already has a tab (closed or failed) gets no second one.
  app->close_port(tab(1));
  replug({});
  replug({board("COM9", std::nullopt, "USB-SERIAL CH340")});
  EXPECT_EQ(app->state().sessions.size(), 2u);
}

TEST_F(Hotplug, OnlyTheFirstOfTwoMatchingLostTabsIsReopened) {
  plug("COM3");
  plug("COM4");
  start({board("COM3", "X", "A"), board("COM4", "X", "A")});
  app->open_tab(app->state().ports[0]);
  app->open_tab(app->state().ports[1]);
  lose(tab(0), *ports.devices["COM3"]);
  lose(tab(1), *ports.devices["COM4"]);
  plug("COM7");
  replug({board("COM7", "X", "A")});
  EXPECT_TRUE(tab(0).is_open());
  EXPECT_EQ(tab(0).port_name, "COM7");
  EXPECT_EQ(tab(1).state.kind, ConnectionKind::Disconnected);
}

TEST_F(Hotplug, AGoneOpenPortIsADisconnectAndLosesItsNewBadge) {
  plug("COM3");
  start({});
  replug({board("COM3", "X", "A")});
  ASSERT_EQ(app->state().recent_arrivals.size(), 1u);
  app->open_tab(app->state().ports[0]);
  replug({});
  EXPECT_TRUE(app->state().recent_arrivals.empty());
  EXPECT_EQ(tab(0).state.kind, ConnectionKind::Disconnected);
  EXPECT_EQ(tab(0).disconnects, 1u);
}

TEST_F(Hotplug, ABackDeviceThatCannotBeOpenedFailsWithAnErrorNotice) {
  plug("COM3");
  start({board("COM3", "X", "Arduino Uno")});
  app->open_tab(app->state().ports[0]);
  lose(tab(0), *ports.devices["COM3"]);
  ports.failures["COM3"] = OpenFailure::Other;
  replug({});
  replug({board("COM3", "X", "Arduino Uno")});
  EXPECT_EQ(tab(0).state.kind, ConnectionKind::Failed);
  EXPECT_EQ(notice(), "Arduino Uno (COM3) is back but couldn't be opened");
  EXPECT_TRUE(app->state().notice->notice.error);
}

TEST_F(Hotplug, ABurstOfDeviceChangesRescansOnce300MsAfterTheLast) {
  start({});
  const int scans_before = host.timer_fires[kTimerRescan];
  for (int i = 0; i < 3; ++i) {
    host.slot().with([](App& a) { a.on_device_change(); });
    clock.mono += 100;
    host.pump();
  }
  // The third event came at +200; nothing has fired at +499.
  clock.mono += 199;
  host.pump();
  EXPECT_EQ(host.timer_fires[kTimerRescan], scans_before);
  clock.mono += 1;
  host.pump();
  EXPECT_EQ(host.timer_fires[kTimerRescan], scans_before + 1);
  EXPECT_FALSE(host.timer_period(kTimerRescan));  // one-shot
}

TEST_F(Hotplug, ARescanThatFindsTheStateInUseIsRetried) {
  start({});
  host.slot().with([&](App&) {
    host.slot().timer(host, kTimerRescan);  // a nested loop delivers it
  });
  EXPECT_EQ(host.timer_period(kTimerRescan), kRescanDelayMs);
}

TEST_F(Hotplug, AWakeUpForAClosedTabIsIgnored) {
  plug("COM3");
  start({board("COM3", "X", "A")});
  app->open_tab(app->state().ports[0]);
  const uint64_t id = tab(0).id;
  app->close_tab(0);
  EXPECT_TRUE(host.slot().message(AppMessage{kMsgReaderWake, id, 0}));
  EXPECT_TRUE(app->state().sessions.empty());
  // Demo control messages are not the program's outside demo mode.
  EXPECT_FALSE(host.slot().message(AppMessage{kMsgDemoToggle, 0, 0}));
}

}  // namespace
}  // namespace lw
