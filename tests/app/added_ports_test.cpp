// Ports the user names by their address: the remembered list, opening an
// address, the bad inputs, and a by-id link that comes back on another
// device file.
#include "app/added_ports.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/fake_ports.h"
#include "host/host_headless.h"
#include "support/memory_settings.h"

namespace lw {
namespace {

TEST(AddedPorts, TheLastEightOldestFirst) {
  EXPECT_EQ(parse_added_ports(" /dev/a \r\n\n/dev/b\ntelnet://x:1\n/dev/a\n"),
            (std::vector<std::string>{"/dev/b", "/dev/a"}));
  std::string many;
  for (int i = 0; i < 10; ++i) many += "/dev/p" + std::to_string(i) + "\n";
  const std::vector<std::string> kept = parse_added_ports(many);
  ASSERT_EQ(kept.size(), kAddedPortsKept);
  EXPECT_EQ(kept.front(), "/dev/p2");
  EXPECT_EQ(kept.back(), "/dev/p9");

  test::MemorySettings s;
  for (int i = 0; i < 9; ++i) remember_added_port(s, "/dev/p" + std::to_string(i));
  remember_added_port(s, "/dev/p3");  // again: now the newest
  const std::vector<std::string> stored = load_added_ports(s);
  ASSERT_EQ(stored.size(), 8u);
  EXPECT_EQ(stored.front(), "/dev/p1");
  EXPECT_EQ(stored.back(), "/dev/p3");
  EXPECT_EQ(*s.get_text(kAddedPortsSetting),
            "/dev/p1\n/dev/p2\n/dev/p4\n/dev/p5\n/dev/p6\n/dev/p7\n/dev/p8\n/dev/p3");
}

TEST(CommandLine, PortsRepeat) {
  const std::vector<std::string> args = {"--port", "/dev/ttyUSB0", "--docs", "/tmp/x",
                                         "--port", "/tmp/pty a",   "--port"};
  const CommandLine c = parse_command_line(args);
  EXPECT_EQ(c.ports, (std::vector<std::string>{"/dev/ttyUSB0", "/tmp/pty a"}));
  EXPECT_EQ(c.docs, "/tmp/x");
}

PortInfo at(std::string name, std::string node, std::string description = {},
            std::optional<UsbId> usb = {}, std::optional<std::string> serial = {}) {
  PortInfo p(std::move(name), std::move(description), std::move(serial), usb);
  p.node = std::move(node);
  return p;
}

class OpenAddress : public ::testing::Test {
 protected:
  void start() {
    auto a = std::make_unique<App>(host, settings, ports, AppOptions{}, nullptr);
    app = a.get();
    app->start();
    host.slot().install(std::move(a));
  }
  Session& tab(size_t i) { return *app->state().sessions.at(i); }
  size_t tabs() const { return app->state().sessions.size(); }
  bool listed(const std::string& name) const {
    for (const PortInfo& p : app->state().ports)
      if (p.name == name) return true;
    return false;
  }
  std::vector<std::string> remembered() { return load_added_ports(settings); }
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

TEST_F(OpenAddress, APathOpensInItsOwnTabJoinsTheListAndIsRemembered) {
  start();
  ports.present = {at("/tmp/lw/ttyV0", "/dev/pts/4")};
  ports.add("/tmp/lw/ttyV0");
  app->open_address("  /tmp/lw/ttyV0 ");
  ASSERT_EQ(tabs(), 1u);
  EXPECT_EQ(tab(0).port_name, "/tmp/lw/ttyV0");
  EXPECT_TRUE(tab(0).is_open());
  EXPECT_TRUE(tab(0).info.added);
  EXPECT_TRUE(listed("/tmp/lw/ttyV0"));
  EXPECT_EQ(remembered(), std::vector<std::string>{"/tmp/lw/ttyV0"});
  // Again: its tab, not a second one.
  app->open_address("/tmp/lw/ttyV0");
  EXPECT_EQ(tabs(), 1u);
}

TEST_F(OpenAddress, ARememberedPathIsListedAtTheNextStartWhileItIsThere) {
  remember_added_port(settings, "/dev/serial/by-id/usb-FTDI-if00-port0");
  remember_added_port(settings, "/tmp/lw/gone");
  ports.listed = {at("ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART")};
  ports.present = {at("/dev/serial/by-id/usb-FTDI-if00-port0", "/dev/ttyUSB0", "FT232R USB UART")};
  start();
  const auto& list = app->state().ports;
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "ttyUSB0");
  EXPECT_EQ(list[1].name, "/dev/serial/by-id/usb-FTDI-if00-port0");
  EXPECT_TRUE(list[1].added);
  EXPECT_TRUE(app->state().recent_arrivals.empty());
  // Clicking the kernel's name for a device a tab holds by its link selects
  // that tab instead of a second open that would find it busy.
  ports.add("/dev/serial/by-id/usb-FTDI-if00-port0");
  app->open_tab(list[1]);
  app->open_tab(list[0]);
  EXPECT_EQ(tabs(), 1u);
  EXPECT_EQ(app->state().current, 0u);
}

TEST_F(OpenAddress, BadInputsShowWhyInTheirTabAndAreNeitherListedNorKept) {
  start();
  ports.present = {at("/dev/null", "/dev/null"), at("/dev/ttyS9", "/dev/ttyS9")};
  ports.failures = {{"/tmp/lw/none", OpenFailure::Missing},
                    {"/dev/null", OpenFailure::NotSerial},
                    {"/dev/ttyS9", OpenFailure::Denied}};
  for (const char* path : {"/tmp/lw/none", "/dev/null", "/dev/ttyS9"}) {
    app->open_address(path);
    Session& s = *app->state().current_session();
    EXPECT_EQ(s.port_name, path);
    EXPECT_EQ(s.state.kind, ConnectionKind::Failed) << path;
    EXPECT_FALSE(listed(path)) << path;
  }
  EXPECT_EQ(tab(0).state.failure, OpenFailure::Missing);
  EXPECT_EQ(tab(1).state.failure, OpenFailure::NotSerial);
  EXPECT_EQ(tab(2).state.failure, OpenFailure::Denied);
  EXPECT_TRUE(remembered().empty());
  EXPECT_FALSE(app->state().notice);

  // Held by another program: a serial device all the same.
  ports.present.push_back(at("/dev/ttyS8", "/dev/ttyS8"));
  ports.failures["/dev/ttyS8"] = OpenFailure::Busy;
  app->open_address("/dev/ttyS8");
  EXPECT_TRUE(listed("/dev/ttyS8"));
  EXPECT_EQ(remembered(), std::vector<std::string>{"/dev/ttyS8"});

  // Text that is no address at all: an error notice and nothing else.
  app->open_address("telnet://lab-pi:4000");
  EXPECT_EQ(tabs(), 4u);
  ASSERT_TRUE(app->state().notice);
  EXPECT_EQ(app->state().notice->notice.text, "That isn't a serial device: telnet://lab-pi:4000");
  EXPECT_TRUE(app->state().notice->notice.error);
  app->open_address("   ");
  EXPECT_EQ(tabs(), 4u);
}

TEST_F(OpenAddress, ALinkThatBecomesASerialDeviceIsKeptOnOpen) {
  start();
  ports.failures["/tmp/lw/later"] = OpenFailure::Missing;
  app->open_address("/tmp/lw/later");
  EXPECT_FALSE(listed("/tmp/lw/later"));
  ports.failures.clear();
  ports.present = {at("/tmp/lw/later", "/dev/pts/9")};
  ports.add("/tmp/lw/later");
  app->reopen(tab(0));  // the tab's Open
  EXPECT_TRUE(tab(0).is_open());
  EXPECT_TRUE(listed("/tmp/lw/later"));
  EXPECT_EQ(remembered(), std::vector<std::string>{"/tmp/lw/later"});
  // Listed as it is found now: the 2-second comparison sees nothing to
  // rescan, so the open tab is left alone.
  EXPECT_EQ(tab(0).info.node, "/dev/pts/9");
  host.stop_timer(kTimerRescan);
  app->on_timer(kTimerHousekeeping);
  EXPECT_FALSE(host.timer_period(kTimerRescan).has_value());
}

TEST_F(OpenAddress, APortTheListHasIsThatPort) {
  ports.listed = {at("ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART")};
  ports.present = {at("/dev/ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART")};
  ports.add("ttyUSB0");
  start();
  // Its name, or its device file typed out.
  app->open_address("ttyUSB0");
  app->open_address("/dev/ttyUSB0");
  ASSERT_EQ(tabs(), 1u);
  EXPECT_EQ(tab(0).port_name, "ttyUSB0");
  EXPECT_FALSE(tab(0).info.added);
  EXPECT_EQ(app->state().ports.size(), 1u);
  EXPECT_TRUE(remembered().empty());
}

// Unplugged and plugged in again: the kernel names the device ttyUSB1 now,
// and the by-id link leads there. The link's tab reopens; the kernel's name
// takes no tab from it and, with AutoOpen on, opens none of its own.
TEST_F(OpenAddress, AByIdLinkReopensItsTabOnTheNewDeviceFile) {
  settings.set_dword("AutoOpen", 1);
  const UsbId ftdi{0x0403, 0x6001};
  const std::string link = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0";
  ports.listed = {at("ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", ftdi, "A5")};
  ports.present = {at(link, "/dev/ttyUSB0", "FT232R USB UART", ftdi, "A5")};
  ports.add(link);
  start();
  app->open_address(link);
  ASSERT_EQ(tabs(), 1u);
  lose(tab(0), *ports.devices[link]);
  ports.add(link);

  // The link's change alone (no device-change event) starts a rescan.
  ports.present = {at(link, "/dev/ttyUSB1", "FT232R USB UART", ftdi, "A5")};
  host.stop_timer(kTimerRescan);
  app->on_timer(kTimerHousekeeping);
  EXPECT_EQ(host.timer_period(kTimerRescan), kRescanDelayMs);

  ports.listed = {at("ttyUSB1", "/dev/ttyUSB1", "FT232R USB UART", ftdi, "A5")};
  app->rescan();
  ASSERT_EQ(tabs(), 1u);
  EXPECT_EQ(tab(0).port_name, link);
  EXPECT_TRUE(tab(0).is_open());
  EXPECT_EQ(tab(0).reconnects, 1u);
  EXPECT_EQ(tab(0).info.node, "/dev/ttyUSB1");
  ASSERT_TRUE(app->state().notice);
  EXPECT_EQ(app->state().notice->notice.text, "FT232R USB UART (" + link + ") is connected again");
  bool marked = false;
  tab(0).log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
    const std::string text(r.bytes.span().begin(), r.bytes.span().end());
    marked = marked || (r.direction == Direction::Mark && text.starts_with("── Reconnected "));
  });
  EXPECT_TRUE(marked);
  // Nothing changed since: no further rescan.
  host.stop_timer(kTimerRescan);
  app->on_timer(kTimerHousekeeping);
  EXPECT_FALSE(host.timer_period(kTimerRescan).has_value());
}

}  // namespace
}  // namespace lw
