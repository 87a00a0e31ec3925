#pragma once
// Sending a sequence again and again at a fixed rate, and running a preset
// sequence once. Driven by a 20 ms window timer; the clock is passed in.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/time.h"
#include "send/history.h"
#include "send/sequence.h"

namespace lw {

inline constexpr uint32_t kMinRepeatInterval = 10;
inline constexpr size_t kMaxStepsPerTick = 1000;

struct RepeatJob {
  std::vector<SequenceStep> steps;  // never empty
  bool limited = false;
  uint32_t times = 0;
  size_t step_index = 0;
  Millis next_due = 0;
  Millis cycle_start = 0;
  uint32_t interval = kMinRepeatInterval;
  uint32_t cycles_done = 0;
};

RepeatJob make_repeat_job(std::vector<SequenceStep> steps, uint32_t interval, bool limited,
                          uint32_t times, Millis now);

struct DueSteps {
  std::vector<std::string> texts;  // to send now, in order
  bool finished = false;
};

// Advances the schedule to now: cycle starts stay `interval` apart from the
// first, waits that run past the interval push the next cycle back, and a
// late tick takes the overdue steps at once, at most 1,000 per call.
DueSteps take_due_steps(RepeatJob& job, Millis now);

// Sends one text on the tab (send_text); false ends the job. The failing
// send shows its own notice.
using SendStepFn = std::function<bool(std::string_view text)>;

struct TickReport {
  bool running = false;               // the tab still has a job (keep the timer)
  std::optional<std::string> notice;  // "Finished sending repeatedly"
};

// The job of one tab, at most one.
class Repeater {
 public:
  bool running() const { return job_.has_value(); }
  const std::optional<RepeatJob>& job() const { return job_; }

  // The repeat menu: the box's sequence every `interval` ms, `times` times
  // when limited. Refusals carry the notice ("Type what to send first",
  // "The port isn't open"). Replaces a running job and ticks at once; the
  // box text joins the history.
  Result<TickReport> start_repeat(std::string_view box_text, bool port_open, uint32_t interval,
                                  bool limited, uint32_t times, SendHistory& history, Millis now,
                                  const SendStepFn& send);
  void stop_repeat() { job_.reset(); }
  TickReport repeat_tick(Millis now, const SendStepFn& send);
  // Instead of a tick while the tab waits for its port: nothing is sent and
  // nothing falls due meanwhile, so the job goes on where it stood.
  void hold(Millis now);

  // A preset: one Send step goes out at once; anything else runs once as a
  // job, without a finished notice. Nothing happens for an empty sequence.
  TickReport send_preset(std::string_view text, Millis now, const SendStepFn& send);

 private:
  std::optional<RepeatJob> job_;
};

std::string type_first_text();
std::string repeat_finished_text();

}  // namespace lw
