// The rules of a tab waiting for its port, with looks and times given.
#include "app/port_watch.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

constexpr int64_t kStart = 10'000;

PortLook free_look(bool by_opening = false) { return {PortLook::Use::Free, {}, by_opening}; }
PortLook held_by(std::optional<PortHolder> h) { return {PortLook::Use::Held, std::move(h), false}; }
PortLook missing() { return {PortLook::Use::Missing, {}, false}; }

TEST(PortWatch, ALetGoPortNobodyTakesOpensAfterAMinuteLookedAtGently) {
  PortWatch w = watch_after_let_go(kStart);
  EXPECT_TRUE(w.let_go);
  EXPECT_TRUE(w.reconnect);
  EXPECT_TRUE(look_due(w, kStart));
  EXPECT_EQ(after_look(w, free_look(), kStart), WatchStep::Wait);
  // Nobody has it: the next look a quarter second on, half a second where a
  // look has to open the port.
  EXPECT_FALSE(look_due(w, kStart + kPortWatchPeriodMs));
  EXPECT_TRUE(look_due(w, kStart + kUntakenLookMs));
  EXPECT_EQ(after_look(w, free_look(true), kStart + kUntakenLookMs), WatchStep::Wait);
  EXPECT_FALSE(look_due(w, kStart + kUntakenLookMs + kUntakenLookMs));
  EXPECT_TRUE(look_due(w, kStart + kUntakenLookMs + kUntakenOpeningLookMs));

  EXPECT_EQ(after_look(w, free_look(), kStart + kUntakenReopenMs - 1), WatchStep::Wait);
  EXPECT_EQ(after_look(w, free_look(), kStart + kUntakenReopenMs), WatchStep::Open);
}

TEST(PortWatch, TakenThenFreeOpensAtTheFirstLookThatFindsItFree) {
  struct Case {
    const char* what;
    PortLook meanwhile;
    bool gone;
  };
  const Case cases[] = {
      {"another program held it", held_by(PortHolder{4242, "avrdude"}), false},
      {"the holder couldn't be seen", held_by(std::nullopt), false},
      {"the device went away", missing(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PortWatch w = watch_after_let_go(kStart);
    const int64_t t = kStart + 3'000;
    EXPECT_EQ(after_look(w, c.meanwhile, t), WatchStep::Wait);
    EXPECT_TRUE(w.taken);
    EXPECT_EQ(w.gone, c.gone);
    EXPECT_EQ(w.holder, c.meanwhile.holder);
    // Held or gone, every tick looks again, so a port that comes free opens
    // within one period of the watch timer.
    EXPECT_TRUE(look_due(w, t + kPortWatchPeriodMs));
    EXPECT_EQ(after_look(w, free_look(), t + kPortWatchPeriodMs), WatchStep::Open);
    EXPECT_FALSE(w.holder);
    EXPECT_FALSE(w.gone);
  }
}

TEST(PortWatch, ABusyPortOpensAsSoonAsItIsFree) {
  PortWatch w = watch_while_busy(PortHolder{7, "minicom"}, false, kStart);
  EXPECT_FALSE(w.let_go);
  EXPECT_FALSE(w.reconnect);
  EXPECT_EQ(w.holder, (PortHolder{7, "minicom"}));
  EXPECT_TRUE(look_due(w, kStart + kPortWatchPeriodMs));
  EXPECT_EQ(after_look(w, held_by(PortHolder{7, "minicom"}), kStart + 100), WatchStep::Wait);
  EXPECT_EQ(after_look(w, free_look(true), kStart + 200), WatchStep::Open);
}

TEST(PortWatch, ATickALittleEarlyStillLooks) {
  PortWatch w = watch_after_let_go(kStart);
  (void)after_look(w, held_by(std::nullopt), kStart);
  // The timer's next tick comes 100 ms later, give or take: both look.
  EXPECT_TRUE(look_due(w, kStart + kPortWatchPeriodMs - 10));
  EXPECT_TRUE(look_due(w, kStart + kPortWatchPeriodMs + 10));
}

TEST(PortWatch, AnOpenThatFailsBusyOrMissingWaitsOnAnyOtherFailureEndsTheWait) {
  struct Case {
    OpenError error;
    bool waits;
    bool gone;
  };
  const Case cases[] = {
      {OpenError{OpenFailure::Busy, PortHolder{99, "esptool"}}, true, false},
      {OpenError{OpenFailure::Busy}, true, false},
      {OpenError{OpenFailure::Missing}, true, true},
      {OpenError{OpenFailure::Other}, false, false},
      {OpenError{OpenFailure::Denied}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.error.failure));
    // A minute passed without a taker: the open found one.
    PortWatch w = watch_after_let_go(kStart);
    EXPECT_EQ(after_look(w, free_look(), kStart + kUntakenReopenMs), WatchStep::Open);
    EXPECT_EQ(after_failed_open(w, c.error, kStart + kUntakenReopenMs), c.waits);
    if (!c.waits) continue;
    EXPECT_TRUE(w.taken);
    EXPECT_EQ(w.gone, c.gone);
    EXPECT_EQ(w.holder, c.error.holder);
    EXPECT_EQ(after_look(w, free_look(), kStart + kUntakenReopenMs + 100), WatchStep::Open);
  }
}

}  // namespace
}  // namespace lw
