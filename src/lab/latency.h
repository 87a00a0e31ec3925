#pragma once
// Reply latency: the time from a tab's latest send to the next received
// line, kept per line while the setting "Latency" is on.
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

#include "base/time.h"

namespace lw {

class Settings;

inline constexpr size_t kReplyTimesPruneAt = 20'000;

class ReplyTimes {
 public:
  // Every send, whether or not the setting is on.
  void on_send(Millis stamp) { pending_reply_ = stamp; }
  // Every received line, before it is appended to the log. Only the first
  // line after a send is measured. "Latency" is read here, line by line.
  void on_received_line(uint64_t line_number, Millis stamp, uint64_t dropped, Settings& settings);
  // Milliseconds from the send to that line; may be negative after a clock step.
  std::optional<int64_t> reply_time(uint64_t line_number) const;
  // The log was cleared.
  void clear() { times_.clear(); }

  std::optional<Millis> pending_reply() const { return pending_reply_; }
  size_t size() const { return times_.size(); }

 private:
  void store(uint64_t line_number, int64_t ms);

  std::optional<Millis> pending_reply_;
  std::deque<std::pair<uint64_t, int64_t>> times_;  // by line number, ascending
};

}  // namespace lw
