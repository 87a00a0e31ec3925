// Letting another program use a tab's port, as the window offers it: the
// button beside Close, the log's right-click menu, Ctrl+Shift+L, and what
// the state line and the port list say while the tab waits.
#include <gtest/gtest.h>

#include "app/port_watch.h"
#include "ui/app_fixture.h"
#include "ui/input/input.h"
#include "ui/menus.h"
#include "ui/widgets.h"

namespace lw::test {
namespace {

class LetGo : public AppFixture {
 protected:
  View view() { return View{app, gfx, kWidth, kHeight}; }
  void wait(Session& s, PortWatch w) {
    s.state = ConnectionState{ConnectionKind::Waiting, 0, OpenFailure::Other, {}};
    s.watch = w;
  }
  std::string last_line(const Session& s) {
    std::string out;
    s.log.for_each_from(0,
                        [&](uint64_t, const LineRecord& r) { out = std::string(r.bytes.view()); });
    return out;
  }
};

TEST_F(LetGo, TheButtonBesideCloseLetsGoAnOpenPortAndTakesAWaitingOneBack) {
  Session& s = add_session("COM3");
  const UiFrame open = frame();
  const Widget* button = open.find(cmd::let_go);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->label, "Let go");
  EXPECT_EQ(button->tooltip, "Let another program use the port (Ctrl+Shift+L)");
  EXPECT_FALSE(button->active);
  const Widget* close = open.find(cmd::open_close);
  ASSERT_NE(close, nullptr);
  EXPECT_LT(close->rect.x, button->rect.x);  // right after Close

  wait(s, watch_after_let_go(clock.mono));
  const UiFrame waiting = frame();
  ASSERT_NE(waiting.find(cmd::let_go), nullptr);
  EXPECT_TRUE(waiting.find(cmd::let_go)->active);
  EXPECT_EQ(waiting.find(cmd::let_go)->tooltip, "Take the port back now (Ctrl+Shift+L)");
  EXPECT_EQ(waiting.find(cmd::open_close)->label, "Close");  // stops the wait

  for (ConnectionKind k :
       {ConnectionKind::Closed, ConnectionKind::Disconnected, ConnectionKind::Failed}) {
    s.state.kind = k;
    s.watch.reset();
    EXPECT_EQ(frame().find(cmd::let_go), nullptr) << static_cast<int>(k);
  }
}

TEST_F(LetGo, TheStateLineAndThePortListSayWhatTheTabWaitsFor) {
  app.state().ports = {{"COM3", "Arduino Uno", {}, {}}};
  Session& s = add_session("COM3");
  PortWatch untaken = watch_after_let_go(clock.mono);
  PortWatch named = untaken;
  named.taken = true;
  named.holder = PortHolder{4242, "avrdude"};
  PortWatch unnamed = untaken;
  unnamed.taken = true;
  PortWatch gone = unnamed;
  gone.gone = true;
  const std::pair<PortWatch, const char*> cases[] = {
      {untaken, "Port let go · waiting for the other program"},
      {named, "avrdude (process 4242) is using the port · waiting for it to let go"},
      {unnamed, "Another program is using the port · waiting for it to let go"},
      {watch_while_busy(std::nullopt, false, clock.mono),
       "Another program is using the port · waiting for it to let go"},
      {gone, "The device is gone · waiting for it to come back"},
  };
  for (const auto& [w, text] : cases) {
    wait(s, w);
    paint();
    EXPECT_TRUE(shows(text)) << text;
    EXPECT_TRUE(shows("Waiting"));  // the port row's badge
    EXPECT_EQ(frame().port_rows.at(0).badge, PortBadge::Waiting);
  }
}

TEST_F(LetGo, CtrlShiftLAndTheLogMenuLetGoAndTakeBack) {
  Session& s = add_session("COM3");
  EXPECT_FALSE(on_key_down(view(), Key::l, Modifiers{true, false}));  // Ctrl+L alone: nothing
  EXPECT_TRUE(s.is_open());

  EXPECT_TRUE(on_key_down(view(), Key::l, Modifiers{true, true}));
  EXPECT_TRUE(s.is_waiting());
  EXPECT_EQ(last_line(s), "── Let go 12:00:00.000 ──");
  EXPECT_EQ(host.timer_period(kTimerPortWatch), kPortWatchPeriodMs);

  // Taking it back tries the open at once; this port is gone, so the tab
  // goes on waiting for it.
  const std::vector<MenuItem> items = log_menu_items(&s);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.back().label, "Take the port back now (Ctrl+Shift+L)");
  run_log_menu_choice(app, items.back().id);
  EXPECT_TRUE(s.is_waiting());
  EXPECT_TRUE(s.watch->gone);
  EXPECT_EQ(last_line(s), "── Let go 12:00:00.000 ──");
}

}  // namespace
}  // namespace lw::test
