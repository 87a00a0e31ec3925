#include "send/repeat.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace lw {
namespace {

using Sent = std::vector<std::pair<Millis, std::string>>;

// A tab's job driven by a 20 ms timer over a clock the test moves.
class RepeatTest : public testing::Test {
 protected:
  SendStepFn sender() {
    return [this](std::string_view text) {
      sent_.emplace_back(now_, std::string(text));
      return fail_after_ < 0 || static_cast<long>(sent_.size()) <= fail_after_;
    };
  }
  Result<TickReport> start(std::string_view text, uint32_t interval, bool limited, uint32_t times) {
    return repeater_.start_repeat(text, true, interval, limited, times, history_, now_, sender());
  }
  // Ticks every 20 ms up to and including `until`; collects the notices.
  void run_until(Millis until) {
    while (repeater_.running() && now_ + 20 <= until) {
      now_ += 20;
      TickReport r = repeater_.repeat_tick(now_, sender());
      if (r.notice) notices_.push_back(*r.notice);
    }
  }

  Repeater repeater_;
  SendHistory history_;
  Millis now_ = 1'000'000;
  Sent sent_;
  std::vector<std::string> notices_;
  long fail_after_ = -1;  // sends that succeed before the first failure
};

TEST_F(RepeatTest, SequenceEverySecondTenTimes) {
  const Millis t0 = now_;
  Result<TickReport> r = start("*RST | wait 500 | MEAS:VOLT?", 1000, true, 10);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r->running);
  run_until(t0 + 20'000);
  Sent want;
  for (int i = 0; i < 10; ++i) {
    want.emplace_back(t0 + i * 1000, "*RST");
    want.emplace_back(t0 + i * 1000 + 500, "MEAS:VOLT?");
  }
  EXPECT_EQ(sent_, want);
  EXPECT_EQ(notices_, (std::vector<std::string>{"Finished sending repeatedly"}));
  EXPECT_FALSE(repeater_.running());
  EXPECT_EQ(history_.entries(), (std::vector<std::string>{"*RST | wait 500 | MEAS:VOLT?"}));
}

TEST_F(RepeatTest, AWaitLongerThanTheIntervalPushesCyclesBack) {
  const Millis t0 = now_;
  ASSERT_TRUE(start("A | wait 2000", 1000, false, 0).ok());
  run_until(t0 + 7000);
  EXPECT_EQ(sent_, (Sent{{t0, "A"}, {t0 + 2000, "A"}, {t0 + 4000, "A"}, {t0 + 6000, "A"}}));
  EXPECT_TRUE(repeater_.running());
  repeater_.stop_repeat();
  EXPECT_FALSE(repeater_.running());
  EXPECT_FALSE(repeater_.repeat_tick(now_ + 5000, sender()).running);
  EXPECT_EQ(sent_.size(), 4u);
  EXPECT_TRUE(notices_.empty());
}

TEST_F(RepeatTest, ALateTickCatchesUpOnTheFixedRate) {
  const Millis t0 = now_;
  ASSERT_TRUE(start("P", 100, false, 0).ok());
  // The window was busy for 1,050 ms: the ten overdue cycles go at once.
  now_ = t0 + 1050;
  EXPECT_TRUE(repeater_.repeat_tick(now_, sender()).running);
  EXPECT_EQ(sent_.size(), 11u);
  // The schedule stays on its grid: next at t0 + 1100, not 1,150.
  now_ = t0 + 1099;
  (void)repeater_.repeat_tick(now_, sender());
  EXPECT_EQ(sent_.size(), 11u);
  now_ = t0 + 1100;
  (void)repeater_.repeat_tick(now_, sender());
  EXPECT_EQ(sent_.size(), 12u);
}

TEST_F(RepeatTest, CatchingUpIsBoundedPerTick) {
  const Millis t0 = now_;
  ASSERT_TRUE(start("P", 10, false, 0).ok());
  now_ = t0 + 60'000;  // 6,000 cycles overdue
  (void)repeater_.repeat_tick(now_, sender());
  EXPECT_EQ(sent_.size(), 1u + 1000u);
  (void)repeater_.repeat_tick(now_, sender());
  EXPECT_EQ(sent_.size(), 1u + 2000u);
}

TEST_F(RepeatTest, CatchingUpStopsAtTheCount) {
  const Millis t0 = now_;
  ASSERT_TRUE(start("P", 100, true, 3).ok());
  now_ = t0 + 10'000;
  TickReport r = repeater_.repeat_tick(now_, sender());
  EXPECT_EQ(sent_.size(), 3u);
  EXPECT_FALSE(r.running);
  EXPECT_EQ(r.notice, "Finished sending repeatedly");
}

TEST_F(RepeatTest, AFailingSendEndsTheJobWithoutTheNotice) {
  fail_after_ = 2;
  const Millis t0 = now_;
  ASSERT_TRUE(start("A | B | C", 1000, true, 10).ok());
  // A and B went out, C failed; nothing else is sent afterwards.
  EXPECT_EQ(sent_, (Sent{{t0, "A"}, {t0, "B"}, {t0, "C"}}));
  EXPECT_FALSE(repeater_.running());
  run_until(t0 + 20'000);
  EXPECT_EQ(sent_.size(), 3u);
  EXPECT_TRUE(notices_.empty());
}

TEST_F(RepeatTest, StartRefusals) {
  Result<TickReport> r = start("| |", 1000, false, 0);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().text, "Type what to send first");
  r = repeater_.start_repeat("*IDN?", false, 1000, false, 0, history_, now_, sender());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().text, "The port isn't open");
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(history_.entries().empty());
  EXPECT_FALSE(repeater_.running());
}

TEST_F(RepeatTest, IntervalIsAtLeastTenAndANewStartReplaces) {
  ASSERT_TRUE(start("A", 1, false, 0).ok());
  EXPECT_EQ(repeater_.job()->interval, kMinRepeatInterval);
  Result<TickReport> r = start("B", 500, true, 2);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r->running);
  EXPECT_FALSE(r->notice);
  EXPECT_EQ(repeater_.job()->steps, (std::vector<SequenceStep>{SequenceStep::send("B")}));
  EXPECT_EQ(sent_, (Sent{{now_, "A"}, {now_, "B"}}));
  EXPECT_EQ(history_.entries(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(RepeatTest, OnceGivesNoNotice) {
  Result<TickReport> r = start("A", 1000, true, 1);
  ASSERT_TRUE(r.ok());
  EXPECT_FALSE(r->running);
  EXPECT_FALSE(r->notice);
  EXPECT_EQ(sent_.size(), 1u);
}

TEST_F(RepeatTest, Presets) {
  // A single command goes out at once, with no job.
  TickReport r = repeater_.send_preset("*IDN?", now_, sender());
  EXPECT_FALSE(r.running);
  EXPECT_EQ(sent_, (Sent{{now_, "*IDN?"}}));
  // Several commands run as one cycle in the same tick, without a notice.
  r = repeater_.send_preset("A | B", now_, sender());
  EXPECT_FALSE(r.running);
  EXPECT_FALSE(r.notice);
  EXPECT_EQ(sent_.size(), 3u);
  // A wait keeps the job running until its end.
  const Millis t0 = now_;
  r = repeater_.send_preset("*RST | wait 500 | MEAS:VOLT?", now_, sender());
  EXPECT_TRUE(r.running);
  run_until(t0 + 2000);
  EXPECT_EQ(sent_.back(), (std::pair<Millis, std::string>{t0 + 500, "MEAS:VOLT?"}));
  EXPECT_EQ(sent_.size(), 5u);
  EXPECT_FALSE(repeater_.running());
  EXPECT_TRUE(notices_.empty());
  // Nothing to send: nothing happens.
  repeater_.send_preset(" | ", now_, sender());
  EXPECT_EQ(sent_.size(), 5u);
  EXPECT_TRUE(history_.entries().empty());  // presets leave the history alone
}

TEST_F(RepeatTest, PresetSequenceReplacesARunningRepeat) {
  ASSERT_TRUE(start("poll", 1000, false, 0).ok());
  EXPECT_TRUE(repeater_.send_preset("A | wait 100 | B", now_, sender()).running);
  run_until(now_ + 5000);
  EXPECT_EQ(sent_.size(), 3u);  // poll, A, B
  EXPECT_FALSE(repeater_.running());
}

TEST(RepeatSchedule, WaitsInsideACycleMoveOnlyThatCycle) {
  std::vector<SequenceStep> steps = {SequenceStep::send("A"), SequenceStep::wait(300),
                                     SequenceStep::send("B")};
  RepeatJob job = make_repeat_job(std::move(steps), 1000, false, 0, 0);
  EXPECT_EQ(take_due_steps(job, 0).texts, (std::vector<std::string>{"A"}));
  EXPECT_TRUE(take_due_steps(job, 299).texts.empty());
  EXPECT_EQ(take_due_steps(job, 300).texts, (std::vector<std::string>{"B"}));
  EXPECT_EQ(job.cycle_start, 1000);
  EXPECT_EQ(job.cycles_done, 1u);
  // Very late: the overdue cycles are replayed with their waits in order.
  const DueSteps due = take_due_steps(job, 3250);
  EXPECT_EQ(due.texts, (std::vector<std::string>{"A", "B", "A", "B", "A"}));
  EXPECT_EQ(job.next_due, 3300);
  EXPECT_FALSE(due.finished);
}

}  // namespace
}  // namespace lw
