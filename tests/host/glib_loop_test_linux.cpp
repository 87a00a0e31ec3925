#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "glib_wait_linux.h"
#include "host/glib_loop_linux.h"

namespace lw {
namespace {

using test::run_loop_for;
using test::run_loop_until;

TEST(GLibPoster, DeliversPostsFromManyThreadsInOrderOnTheLoopThread) {
  constexpr int kThreads = 4;
  constexpr int kEach = 2000;
  const std::thread::id loop_thread = std::this_thread::get_id();
  std::vector<int64_t> last(kThreads, -1);
  int delivered = 0;
  bool in_order = true;
  bool on_loop_thread = true;
  auto poster = GLibPoster::create([&](const AppMessage& m) {
    on_loop_thread = on_loop_thread && std::this_thread::get_id() == loop_thread;
    in_order = in_order && m.param2 == last[m.param1] + 1;
    last[m.param1] = m.param2;
    ++delivered;
  });
  std::atomic<int> refused{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        if (!poster->post(AppMessage{kMsgReaderWake, static_cast<uint64_t>(t), i})) ++refused;
      }
    });
  }
  EXPECT_TRUE(run_loop_until([&] { return delivered == kThreads * kEach; }, 60000));
  for (std::thread& th : threads) th.join();
  run_loop_for(20);
  EXPECT_EQ(delivered, kThreads * kEach);
  EXPECT_EQ(refused.load(), 0);
  EXPECT_TRUE(in_order);
  EXPECT_TRUE(on_loop_thread);
  poster->close();
}

TEST(GLibPoster, APostFromAHandlerWaitsForTheNextTurn) {
  std::shared_ptr<GLibPoster> poster;
  int depth = 0;
  int max_depth = 0;
  int count = 0;
  poster = GLibPoster::create([&](const AppMessage& m) {
    ++depth;
    max_depth = std::max(max_depth, depth);
    ++count;
    if (m.param1 < 3) poster->post(AppMessage{kMsgReaderWake, m.param1 + 1, 0});
    --depth;
  });
  poster->post(AppMessage{kMsgReaderWake, 0, 0});
  EXPECT_TRUE(run_loop_until([&] { return count == 4; }));
  EXPECT_EQ(max_depth, 1);
  poster->close();
}

TEST(GLibPoster, NothingArrivesAfterClose) {
  int delivered = 0;
  auto poster = GLibPoster::create([&](const AppMessage&) { ++delivered; });
  EXPECT_TRUE(poster->post(AppMessage{kMsgReaderWake, 1, 0}));
  EXPECT_TRUE(poster->post(AppMessage{kMsgReaderWake, 2, 0}));
  poster->close();  // the window went before the loop turned
  EXPECT_FALSE(poster->post(AppMessage{kMsgReaderWake, 3, 0}));
  std::thread late([&] { EXPECT_FALSE(poster->post(AppMessage{kMsgReaderWake, 4, 0})); });
  late.join();
  run_loop_for(100);
  EXPECT_EQ(delivered, 0);
}

TEST(GLibPoster, AHandlerThatClosesEndsTheBatch) {
  std::shared_ptr<GLibPoster> poster;
  int delivered = 0;
  poster = GLibPoster::create([&](const AppMessage&) {
    ++delivered;
    poster->close();
  });
  for (int i = 0; i < 5; ++i) poster->post(AppMessage{kMsgReaderWake, 0, i});
  run_loop_for(100);
  EXPECT_EQ(delivered, 1);
}

TEST(GLibPoster, OutlivesItsLastOwnerUntilTheLoopHasRun) {
  int delivered = 0;
  {
    auto poster = GLibPoster::create([&](const AppMessage&) { ++delivered; });
    poster->post(AppMessage{kMsgReaderWake, 0, 0});
  }
  EXPECT_TRUE(run_loop_until([&] { return delivered == 1; }));
}

class GLibTimersTest : public testing::Test {
 protected:
  std::map<int, int> fires;
  std::function<void(int)> on_fire;
  GLibTimers timers{[this](int id) {
    ++fires[id];
    if (on_fire) on_fire(id);
  }};
};

TEST_F(GLibTimersTest, RepeatUntilStopped) {
  timers.start(3, 10);
  EXPECT_TRUE(timers.running(3));
  EXPECT_TRUE(run_loop_until([&] { return fires[3] >= 3; }));
  timers.stop(3);
  EXPECT_FALSE(timers.running(3));
  const int seen = fires[3];
  run_loop_for(100);
  EXPECT_EQ(fires[3], seen);
}

TEST_F(GLibTimersTest, RestartReplacesTheRunningTimer) {
  // One-shot use: the handler stops its timer. Had the second start added a
  // second source, that one would keep firing.
  on_fire = [&](int id) { timers.stop(id); };
  timers.start(4, 10);
  timers.start(4, 10);
  EXPECT_TRUE(run_loop_until([&] { return fires[4] == 1; }));
  run_loop_for(150);
  EXPECT_EQ(fires[4], 1);
  // A long period replaced by a short one fires at the short one.
  timers.start(2, 600000);
  timers.start(2, 10);
  EXPECT_TRUE(run_loop_until([&] { return fires[2] == 1; }));
}

TEST_F(GLibTimersTest, AHandlerMayRestartOrStopItsOwnTimer) {
  on_fire = [&](int id) {
    if (fires[id] < 3) {
      timers.start(id, 5);
    } else {
      timers.stop(id);
    }
  };
  timers.start(6, 5);
  EXPECT_TRUE(run_loop_until([&] { return fires[6] == 3; }));
  run_loop_for(100);
  EXPECT_EQ(fires[6], 3);
  EXPECT_FALSE(timers.running(6));
}

TEST_F(GLibTimersTest, StopAllAndDestructionRemoveEverySource) {
  timers.start(1, 5);
  timers.start(7, 5);
  timers.stop_all();
  run_loop_for(60);
  EXPECT_TRUE(fires.empty());
  int fired = 0;
  {
    GLibTimers scoped([&](int) { ++fired; });
    scoped.start(5, 5);
  }
  run_loop_for(60);
  EXPECT_EQ(fired, 0);
}

}  // namespace
}  // namespace lw
