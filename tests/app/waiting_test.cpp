// "Let another program use the port" and the tab that waits for its port,
// on a scripted port system with an injected clock: what stays, what the
// log and the recording get, when the port opens again, and what ends the
// wait.
#include <gtest/gtest.h>

#include "app/port_watch.h"
#include "app/running_app.h"
#include "app/tab_commands.h"

namespace lw {
namespace {

class Waiting : public test::RunningApp {
 protected:
  void open_with_line() {
    start();
    app->open_tab(app->state().ports[0]);
    app->toggle_record(tab());
    device->push("before\r\n");
    ASSERT_TRUE(drain_until([&] { return has_line("before"); }));
  }
  bool has_line(std::string_view text) {
    for (const std::string& l : log_texts()) {
      if (l.find(text) != std::string::npos) return true;
    }
    return false;
  }
  // One period of the watch timer, on both clocks.
  void tick(int64_t ms = kPortWatchPeriodMs) {
    clock.mono += ms;
    clock.wall += ms;
    host.pump();
  }
  void seen(PortLook::Use use, std::optional<PortHolder> holder = std::nullopt) {
    ports.seen["COM3"] = PortLook{use, std::move(holder), false};
  }
  bool watching() const { return host.timer_period(kTimerPortWatch).has_value(); }
  std::string recorded() {
    (void)tab().recording->flush();
    return read(recording_file());
  }
  size_t sent_lines() {
    size_t n = 0;
    tab().log.for_each_from(
        0, [&](uint64_t, const LineRecord& r) { n += r.direction == Direction::Sent ? 1 : 0; });
    return n;
  }
};

TEST_F(Waiting, LettingGoClosesOnlyThePortAndMarksTheLogAndTheRecording) {
  open_with_line();
  tab().lab.series.toggle_graph();
  app->release_port(tab());

  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);
  ASSERT_TRUE(tab().watch);
  EXPECT_TRUE(tab().watch->let_go);
  EXPECT_FALSE(tab().channel);
  const std::string mark = "── Let go " + format_hms_millis(clock.wall.load()) + " ──";
  EXPECT_EQ(log_texts().back(), mark);
  // The tab, its recording (the same file) and its graph stay.
  ASSERT_EQ(app->state().sessions.size(), 1u);
  ASSERT_TRUE(tab().recording);
  EXPECT_TRUE(tab().lab.series.graph_shown());
  const std::string file = recorded();
  EXPECT_LT(file.find("before"), file.find(mark)) << file;
  EXPECT_EQ(host.timer_period(kTimerPortWatch), kPortWatchPeriodMs);

  // Only an open port can be let go.
  app->release_port(tab());
  EXPECT_EQ(log_texts().back(), mark);
}

TEST_F(Waiting, ThePortOpensAtTheFirstLookAfterAnotherProgramLetsGoOfIt) {
  open_with_line();
  app->release_port(tab());
  tick();
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);  // nobody took it yet

  seen(PortLook::Use::Held, PortHolder{4242, "avrdude"});
  for (int i = 0; i * kPortWatchPeriodMs < kUntakenLookMs; ++i) tick();
  ASSERT_TRUE(tab().watch);
  EXPECT_EQ(tab().watch->holder, (PortHolder{4242, "avrdude"}));
  for (int i = 0; i < 50; ++i) tick();  // it flashes for a while
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);

  // The new firmware speaks at once; the next look finds the port free.
  seen(PortLook::Use::Free);
  device->push("first line of the new firmware\r\n");
  tick();
  ASSERT_TRUE(tab().is_open());
  EXPECT_FALSE(tab().watch);
  EXPECT_EQ(ports.reopens, 1);  // what came in since the release is kept
  EXPECT_EQ(tab().reconnects, 1u);
  // The new reader may hand its line over within the same turn: the mark
  // comes first either way.
  ASSERT_TRUE(drain_until([&] { return has_line("first line of the new firmware"); }));
  const std::vector<std::string> lines = log_texts();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2].find("── Reconnected "), 0u) << lines[lines.size() - 2];
  const std::string file = recorded();
  EXPECT_LT(file.find("── Let go "), file.find("── Reconnected ")) << file;
  EXPECT_LT(file.find("── Reconnected "), file.find("first line of the new firmware")) << file;

  tick();
  EXPECT_FALSE(watching());  // nothing waits any more
}

TEST_F(Waiting, NoLookWhileThisProgramsOwnReaderStillHoldsThePort) {
  open_with_line();
  // The reader hangs in a read: it can't close the port yet. Where a look
  // has to open the port, it would find it held, by this very program.
  device->stall = true;
  ASSERT_TRUE(test::wait_until([&] { return device->stalled.load(); }));
  seen(PortLook::Use::Held);
  app->release_port(tab());
  ASSERT_EQ(tab().state.kind, ConnectionKind::Waiting);
  for (int i = 0; i < 10; ++i) tick();
  EXPECT_EQ(ports.looks, 0);
  EXPECT_FALSE(tab().watch->taken);

  device->stall = false;
  ASSERT_TRUE(test::wait_until([&] {
    auto reader = tab().letting_go.lock();
    return !reader || reader->has_stopped();
  }));
  seen(PortLook::Use::Free);
  tick();
  EXPECT_EQ(ports.looks, 1);
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);  // nobody else took it
}

TEST_F(Waiting, APortNobodyTakesOpensAgainAfterAMinute) {
  open_with_line();
  app->release_port(tab());
  const int64_t let_go_at = clock.mono.load();
  while (clock.mono.load() - let_go_at < kUntakenReopenMs - kPortWatchPeriodMs) tick();
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);
  // Looked at gently meanwhile: about three times a second, not ten.
  EXPECT_LE(ports.looks, kUntakenReopenMs / kUntakenLookMs);
  EXPECT_GT(ports.looks, kUntakenReopenMs / kUntakenLookMs - 5);
  tick();
  EXPECT_TRUE(tab().is_open());
  EXPECT_EQ(log_texts().back().find("── Reconnected "), 0u);
}

TEST_F(Waiting, AProgramThatNeverLetsGoKeepsTheTabWaitingUntilTheUserClosesIt) {
  open_with_line();
  app->release_port(tab());
  seen(PortLook::Use::Held);
  for (int i = 0; i < 6'000; ++i) tick();  // ten minutes
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);
  EXPECT_TRUE(tab().watch->taken);

  // The button reads Close and stops the wait; nothing more is logged.
  const size_t lines = tab().log.line_count();
  open_close_port(*app, tab());
  EXPECT_EQ(tab().state.kind, ConnectionKind::Closed);
  EXPECT_FALSE(tab().watch);
  EXPECT_EQ(tab().log.line_count(), lines);
  tick();
  EXPECT_FALSE(watching());
  const int looks = ports.looks;
  seen(PortLook::Use::Free);
  tick();
  EXPECT_EQ(ports.looks, looks);
  EXPECT_FALSE(tab().is_open());
}

TEST_F(Waiting, ClosingAWaitingTabEndsTheWatch) {
  open_with_line();
  app->release_port(tab());
  seen(PortLook::Use::Held);
  tick();
  app->close_tab(0);
  tick();
  EXPECT_FALSE(watching());
  const int looks = ports.looks;
  tick();
  EXPECT_EQ(ports.looks, looks);
}

TEST_F(Waiting, ABusyPortOpensWithoutAClickOnceTheOtherProgramLetsGo) {
  start();
  ports.failures["COM3"] = OpenError{OpenFailure::Busy, PortHolder{812, "minicom"}};
  app->open_tab(app->state().ports[0]);
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);
  ASSERT_TRUE(tab().watch);
  EXPECT_EQ(tab().watch->holder, (PortHolder{812, "minicom"}));
  EXPECT_TRUE(watching());

  // Where the system shows no holder to a look, the tab tries the open at
  // every tick, and that names the holder again.
  const int opens = ports.opens;
  tick();
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);
  EXPECT_EQ(ports.opens, opens + 1);
  EXPECT_EQ(tab().watch->holder, (PortHolder{812, "minicom"}));

  ports.failures.clear();
  device->push("hello\r\n");
  tick();
  ASSERT_TRUE(tab().is_open());
  EXPECT_EQ(tab().reconnects, 0u);  // the tab's first open: no mark
  ASSERT_TRUE(drain_until([&] { return has_line("hello"); }));
  EXPECT_EQ(log_texts().front(), "hello");
}

TEST_F(Waiting, ARepeatJobPausesWithThePortAndGoesOnWithoutABurst) {
  open_with_line();
  tab().send_box = "*IDN?";
  app->start_repeat(tab(), 1000, 0);
  ASSERT_EQ(sent_lines(), 1u);
  app->release_port(tab());
  for (int i = 0; i < 100; ++i) tick();  // ten seconds
  EXPECT_TRUE(tab().repeater.running());
  EXPECT_EQ(sent_lines(), 1u);
  EXPECT_EQ(notice(), nullptr);  // no "The port isn't open"

  let_go_or_take_back(*app, tab());
  ASSERT_TRUE(tab().is_open());
  tick(20);
  EXPECT_EQ(sent_lines(), 2u);  // the one that was due, not ten
  for (int i = 0; i < 9; ++i) tick();
  EXPECT_EQ(sent_lines(), 2u);
  tick();
  EXPECT_EQ(sent_lines(), 3u);
}

TEST_F(Waiting, ADeviceThatComesBackUnderAnotherNameIsFollowedThere) {
  open_with_line();
  app->release_port(tab());
  const auto rescan = [&](std::vector<PortInfo> listed) {
    ports.listed = std::move(listed);
    host.slot().with([](App& a) { a.on_device_change(); });
    tick(kRescanDelayMs);
  };
  // Flashing restarts the board; it comes back as another port.
  ports.devices.erase("COM3");
  seen(PortLook::Use::Missing);
  rescan({});
  EXPECT_EQ(tab().state.kind, ConnectionKind::Waiting);
  EXPECT_TRUE(tab().watch->gone);
  EXPECT_EQ(tab().disconnects, 0u);  // a wait is no disconnect

  auto back = ports.add("COM8");
  back->push("new firmware\r\n");
  rescan({PortInfo{"COM8", "Arduino Uno", "S1", UsbId{0x2341, 0x43}}});
  EXPECT_EQ(tab().port_name, "COM8");
  ASSERT_TRUE(tab().is_open());
  // The new reader may hand its line over within the same turn: the mark
  // comes first either way.
  ASSERT_TRUE(drain_until([&] { return has_line("new firmware"); }));
  const std::vector<std::string> lines = log_texts();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2].find("── Reconnected "), 0u);
  EXPECT_EQ(lines.back(), "new firmware");
}

}  // namespace
}  // namespace lw
