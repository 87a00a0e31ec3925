#include "lab/latency.h"

#include <algorithm>

#include "settings/values.h"

namespace lw {

namespace {
bool before(const std::pair<uint64_t, int64_t>& entry, uint64_t line) { return entry.first < line; }
}  // namespace

void ReplyTimes::on_received_line(uint64_t line_number, Millis stamp, uint64_t dropped,
                                  Settings& settings) {
  // Without a send nothing is stored, so the setting is only read then.
  if (pending_reply_ && show_latency(settings)) store(line_number, stamp - *pending_reply_);
  pending_reply_.reset();
  if (times_.size() > kReplyTimesPruneAt) {
    while (!times_.empty() && times_.front().first < dropped) times_.pop_front();
  }
}

void ReplyTimes::store(uint64_t line_number, int64_t ms) {
  if (times_.empty() || times_.back().first < line_number) {
    times_.emplace_back(line_number, ms);
    return;
  }
  auto it = std::lower_bound(times_.begin(), times_.end(), line_number, before);
  if (it != times_.end() && it->first == line_number) {
    it->second = ms;
  } else {
    times_.insert(it, {line_number, ms});
  }
}

std::optional<int64_t> ReplyTimes::reply_time(uint64_t line_number) const {
  auto it = std::lower_bound(times_.begin(), times_.end(), line_number, before);
  if (it == times_.end() || it->first != line_number) return std::nullopt;
  return it->second;
}

}  // namespace lw
