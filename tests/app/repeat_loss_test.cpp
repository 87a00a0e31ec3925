// A repeat job lives until it finishes, is stopped, a send fails or it is
// replaced: losing or closing the port ends it only at the next send.
#include <gtest/gtest.h>

#include "app/running_app.h"

namespace lw {
namespace {

class RepeatAcrossLoss : public test::RunningApp {
 protected:
  // Polls "MEAS?" every second until stopped.
  void start_polling() {
    start();
    app->open_tab(app->state().ports[0]);
    tab().send_box = "MEAS?";
    app->start_repeat(tab(), 1000, 0);
    ASSERT_TRUE(test::wait_until([&] { return device->written_bytes() == "MEAS?\n"; }));
  }
  // The 20 ms timer once the next cycle is due.
  void next_cycle() {
    clock.wall += 1000;
    app->on_timer(kTimerRepeat);
  }
  void expect_ended_by_the_send() {
    EXPECT_FALSE(tab().repeater.running());
    ASSERT_TRUE(notice());
    EXPECT_EQ(notice()->text, "The port isn't open");
    EXPECT_TRUE(notice()->error);
  }
};

TEST_F(RepeatAcrossLoss, ADeviceBackBeforeTheNextSendKeepsPolling) {
  start_polling();
  device->unplug();
  ASSERT_TRUE(drain_until([&] { return !tab().is_open(); }));
  EXPECT_TRUE(tab().repeater.running());

  device = ports.add("COM3");
  app->reconnect(tab().id);
  ASSERT_TRUE(tab().is_open());
  next_cycle();
  EXPECT_TRUE(test::wait_until([&] { return device->written_bytes() == "MEAS?\n"; }));
  EXPECT_TRUE(tab().repeater.running());
  EXPECT_FALSE(notice_is_error());
}

TEST_F(RepeatAcrossLoss, TheNextSendOnALostPortEndsTheJob) {
  start_polling();
  device->unplug();
  ASSERT_TRUE(drain_until([&] { return !tab().is_open(); }));
  EXPECT_TRUE(tab().repeater.running());
  next_cycle();
  expect_ended_by_the_send();
}

TEST_F(RepeatAcrossLoss, TheNextSendOnAClosedPortEndsTheJob) {
  start_polling();
  app->close_port(tab());
  EXPECT_TRUE(tab().repeater.running());
  next_cycle();
  expect_ended_by_the_send();
}

}  // namespace
}  // namespace lw
