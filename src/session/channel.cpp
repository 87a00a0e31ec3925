#include "session/channel.h"

namespace lw {

bool ReaderChannel::hand_over(std::vector<LineRecord>& batch) {
  std::lock_guard lock(event_mutex_);
  if (events_.empty()) {
    events_.swap(batch);
  } else {
    events_.insert(events_.end(), std::make_move_iterator(batch.begin()),
                   std::make_move_iterator(batch.end()));
  }
  batch.clear();
  return !events_.empty();
}

void ReaderChannel::finish(std::vector<LineRecord>& batch, std::optional<std::string> error) {
  std::lock_guard lock(event_mutex_);
  events_.insert(events_.end(), std::make_move_iterator(batch.begin()),
                 std::make_move_iterator(batch.end()));
  batch.clear();
  error_ = std::move(error);
  ended_ = true;
}

void ReaderChannel::report_link(LinkReport link) {
  std::lock_guard lock(event_mutex_);
  link_ = std::move(link);
}

void ReaderChannel::finish_unopened(OpenError why, std::string error) {
  std::lock_guard lock(event_mutex_);
  unopened_ = std::move(why);
  error_ = std::move(error);
  ended_ = true;
}

void ReaderChannel::mark_stopped() {
  std::lock_guard lock(event_mutex_);
  stopped_ = true;
  ended_cv_.notify_all();
}

void ReaderChannel::take_commands(std::vector<ReaderCommand>& out) {
  std::lock_guard lock(command_mutex_);
  for (auto& c : commands_) out.push_back(std::move(c));
  commands_.clear();
}

bool ReaderChannel::has_commands() {
  std::lock_guard lock(command_mutex_);
  return !commands_.empty();
}

bool ReaderChannel::close_queued() {
  std::lock_guard lock(command_mutex_);
  for (const ReaderCommand& c : commands_) {
    if (c.kind == ReaderCommand::Kind::Close) return true;
  }
  return false;
}

void ReaderChannel::push_command(ReaderCommand cmd) {
  std::lock_guard lock(command_mutex_);
  commands_.push_back(std::move(cmd));
}

void ReaderChannel::take_events(DrainedEvents& into) {
  posted.store(false);
  into.records.clear();
  // The list handed back goes round between the reader and the drains for
  // good: a backlog's capacity is given up rather than kept with it.
  if (into.records.capacity() > kKeptRecords) std::vector<LineRecord>().swap(into.records);
  std::lock_guard lock(event_mutex_);
  into.records.swap(events_);
  into.error = std::move(error_);
  error_.reset();
  into.ended = ended_;
  ended_ = false;
  into.link = std::move(link_);
  link_.reset();
  into.unopened = std::move(unopened_);
  unopened_.reset();
}

bool ReaderChannel::wait_ended(int timeout_ms) {
  std::unique_lock lock(event_mutex_);
  return ended_cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                            [this] { return stopped_; });
}

bool ReaderChannel::has_stopped() {
  std::lock_guard lock(event_mutex_);
  return stopped_;
}

}  // namespace lw
