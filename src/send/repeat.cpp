#include "send/repeat.h"

#include <algorithm>

#include "lang/tr.h"
#include "send/send_text.h"

namespace lw {

RepeatJob make_repeat_job(std::vector<SequenceStep> steps, uint32_t interval, bool limited,
                          uint32_t times, Millis now) {
  RepeatJob job;
  job.steps = std::move(steps);
  job.limited = limited;
  job.times = times;
  job.next_due = job.cycle_start = now;
  job.interval = std::max(interval, kMinRepeatInterval);
  return job;
}

DueSteps take_due_steps(RepeatJob& job, Millis now) {
  DueSteps due;
  size_t taken = 0;
  for (;;) {
    if (job.limited && job.cycles_done >= job.times) break;
    while (job.step_index < job.steps.size() && now >= job.next_due && taken < kMaxStepsPerTick) {
      const SequenceStep& step = job.steps[job.step_index];
      if (step.kind == SequenceStep::Kind::Wait) {
        job.next_due += step.millis;
      } else {
        due.texts.push_back(step.text);
      }
      ++job.step_index;
      ++taken;
    }
    if (job.step_index < job.steps.size()) break;
    job.step_index = 0;
    ++job.cycles_done;
    job.cycle_start = std::max(job.cycle_start + job.interval, job.next_due);
    job.next_due = job.cycle_start;
    if (job.cycle_start > now) break;
  }
  due.finished = job.limited && job.cycles_done >= job.times;
  return due;
}

TickReport Repeater::repeat_tick(Millis now, const SendStepFn& send) {
  TickReport report;
  if (!job_) return report;
  DueSteps due = take_due_steps(*job_, now);
  for (const std::string& text : due.texts) {
    if (!send(text)) {
      job_.reset();
      return report;
    }
  }
  if (due.finished) {
    if (job_->times != 1) report.notice = repeat_finished_text();
    job_.reset();
    return report;
  }
  report.running = true;
  return report;
}

void Repeater::hold(Millis now) {
  if (!job_ || job_->next_due >= now) return;
  const Millis late = now - job_->next_due;
  job_->next_due += late;
  job_->cycle_start += late;
}

Result<TickReport> Repeater::start_repeat(std::string_view box_text, bool port_open,
                                          uint32_t interval, bool limited, uint32_t times,
                                          SendHistory& history, Millis now,
                                          const SendStepFn& send) {
  std::vector<SequenceStep> steps = parse_sequence(box_text);
  if (steps.empty()) return fail(Error{0, type_first_text()});
  if (!port_open) return fail(Error{0, port_not_open_text()});
  history.add_repeated(box_text);
  job_ = make_repeat_job(std::move(steps), interval, limited, times, now);
  return repeat_tick(now, send);
}

TickReport Repeater::send_preset(std::string_view text, Millis now, const SendStepFn& send) {
  std::vector<SequenceStep> steps = parse_sequence(text);
  if (steps.empty()) return {running(), std::nullopt};
  if (steps.size() == 1 && steps[0].kind == SequenceStep::Kind::Send) {
    (void)send(steps[0].text);
    return {running(), std::nullopt};
  }
  job_ = make_repeat_job(std::move(steps), kMinRepeatInterval, true, 1, now);
  return repeat_tick(now, send);
}

std::string type_first_text() {
  return tr("보낼 내용을 먼저 입력하세요", "Type what to send first");
}

std::string repeat_finished_text() {
  return tr("반복 전송을 마쳤습니다", "Finished sending repeatedly");
}

}  // namespace lw
