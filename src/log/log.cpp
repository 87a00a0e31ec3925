#include "log/log.h"

#include <algorithm>
#include <cassert>

namespace lw {

Log::Log(size_t max_lines, uint64_t max_bytes)
    // A line is appended before the oldest leaves, so one slot more.
    : lines_(std::max<size_t>(max_lines, 1) + 1),
      max_lines_(max_lines < 1 ? 1 : max_lines),
      max_bytes_(max_bytes) {}

Appended Log::append(LineRecord record, std::string_view search_text) {
  Appended result;
  result.shown = !filter_ || shown_under_filter(record, search_text);
  if (record.direction == Direction::Received) ++lines_received_;
  held_bytes_ += record.bytes.size();
  lines_.push_back(std::move(record));
  result.absolute = end_absolute() - 1;
  if (filter_ && result.shown) filter_->push_back(result.absolute);

  while (lines_.size() > max_lines_ || (held_bytes_ > max_bytes_ && lines_.size() >= 2)) {
    held_bytes_ -= lines_.front().bytes.size();
    lines_.pop_front();
    ++dropped_;
    ++result.trimmed;
  }
  if (result.trimmed > 0) {
    // Keep the rows on screen on the same lines.
    const size_t shown_removed = filter_ ? trim_filter() : result.trimmed;
    scroll_ = std::max(0.0, scroll_ - static_cast<double>(shown_removed));
  }
  return result;
}

void Log::clear() {
  dropped_ += lines_.size();
  lines_.clear();
  held_bytes_ = 0;
  if (filter_) {
    filter_->clear();
    filter_head_ = 0;
  }
  selection_.reset();
  scroll_ = 0;
  follow_ = true;
}

const LineRecord* Log::find(uint64_t absolute) const {
  if (absolute < dropped_ || absolute >= end_absolute()) return nullptr;
  return &lines_[static_cast<size_t>(absolute - dropped_)];
}

uint64_t Log::first_at_or_after(Millis time) const {
  size_t lo = 0;
  size_t hi = lines_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (lines_[mid].time < time) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return dropped_ + lo;
}

std::span<const uint64_t> Log::filter() const {
  if (!filter_) return {};
  return std::span<const uint64_t>(*filter_).subspan(filter_head_);
}

// Drops the filter entries of lines no longer in the log; returns how many.
size_t Log::trim_filter() {
  std::vector<uint64_t>& f = *filter_;
  const auto first = f.begin() + static_cast<std::ptrdiff_t>(filter_head_);
  const auto kept = std::lower_bound(first, f.end(), dropped_);
  const auto removed = static_cast<size_t>(kept - first);
  filter_head_ += removed;
  // Move the rest to the front once the dead part is as long as the live one.
  if (filter_head_ >= 1024 && filter_head_ * 2 >= f.size()) {
    f.erase(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(filter_head_));
    filter_head_ = 0;
  }
  return removed;
}

size_t Log::shown_count() const { return filter_ ? filter_->size() - filter_head_ : lines_.size(); }

uint64_t Log::absolute_of_row(size_t row) const {
  assert(row < shown_count());
  return filter_ ? (*filter_)[filter_head_ + row] : dropped_ + row;
}

const LineRecord& Log::shown_record(size_t row) const {
  return lines_[static_cast<size_t>(absolute_of_row(row) - dropped_)];
}

size_t Log::row_at_or_after(uint64_t absolute) const {
  if (filter_) {
    const std::span<const uint64_t> f = filter();
    return static_cast<size_t>(std::lower_bound(f.begin(), f.end(), absolute) - f.begin());
  }
  if (absolute <= dropped_) return 0;
  return static_cast<size_t>(std::min<uint64_t>(absolute - dropped_, lines_.size()));
}

std::optional<size_t> Log::row_of_absolute(uint64_t absolute) const {
  const size_t row = row_at_or_after(absolute);
  if (row < shown_count() && absolute_of_row(row) == absolute) return row;
  return std::nullopt;
}

void Log::select_all() {
  const size_t n = shown_count();
  if (n == 0) return;
  selection_ = Selection{absolute_of_row(0), absolute_of_row(n - 1)};
}

double Log::max_scroll(size_t visible_rows) const {
  const size_t n = shown_count();
  return n > visible_rows ? static_cast<double>(n - visible_rows) : 0.0;
}

void Log::scroll_to_end(size_t visible_rows) { scroll_ = max_scroll(visible_rows); }

void Log::clamp_scroll(size_t visible_rows) {
  scroll_ = std::clamp(scroll_, 0.0, max_scroll(visible_rows));
}

void Log::settle_scroll(size_t visible_rows) {
  if (follow_) {
    scroll_to_end(visible_rows);
  } else {
    clamp_scroll(visible_rows);
  }
}

void Log::jump_to_bottom(size_t visible_rows) {
  follow_ = true;
  scroll_to_end(visible_rows);
}

}  // namespace lw
