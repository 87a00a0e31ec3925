#include "lab/series.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "lang/tr.h"

namespace lw {

bool PointRing::pack_value(double value, uint32_t& code, uint32_t decimals_first) {
  const auto bits = std::bit_cast<uint64_t>(value);
  const auto sign = static_cast<uint32_t>(bits >> 63);
  const double magnitude = std::fabs(value);
  // Decimals `decimals_first`, then 0, 1, 2...
  for (uint32_t i = 0; i <= 16; ++i) {
    const uint32_t decimals = i == 0 ? decimals_first & 15 : i - 1;
    if (i > 0 && decimals == (decimals_first & 15)) continue;
    const double scaled = magnitude * kPowersOfTen[decimals];
    // Too many digits, or not finite: more decimals only make it larger.
    if (!(scaled < static_cast<double>(kMaxMagnitude) + 0.5)) {
      if (i == 0) continue;
      return false;
    }
    // Rounded to the nearest (a tie either way: the check below decides).
    const auto digits = static_cast<uint32_t>(scaled + 0.5);
    const uint32_t c = sign << 31 | digits << 4 | decimals;
    if (std::bit_cast<uint64_t>(unpack_value(c)) == bits) {
      code = c;
      return true;
    }
  }
  return false;
}

bool PointRing::push_slow(SeriesPoint p) {
  uint32_t code = 0;
  if (pack_value(p.value, code)) {
    // The stamp is what does not fit: move the base to the lowest stamp
    // kept, if every stamp then fits. A full ring is about to drop the
    // point at its head.
    const size_t leaving = packed_.size() == capacity_ ? head_ : packed_.size();
    Millis low = p.stamp;
    Millis high = p.stamp;
    for (size_t i = 0; i < packed_.size(); ++i) {
      if (i == leaving) continue;
      low = std::min(low, base_ + packed_[i].offset);
      high = std::max(high, base_ + packed_[i].offset);
    }
    if (high - low <= kMaxOffset) {
      for (size_t i = 0; i < packed_.size(); ++i) {
        if (i != leaving)
          packed_[i].offset = static_cast<uint32_t>(base_ + packed_[i].offset - low);
      }
      base_ = low;
      place(packed_, Packed{static_cast<uint32_t>(p.stamp - low), code});
      return false;
    }
  }
  // The same slots, so head_ still holds.
  std::vector<SeriesPoint> wide;
  wide.reserve(packed_.capacity());
  for (const Packed& q : packed_) wide.push_back({base_ + q.offset, unpack_value(q.value)});
  points_ = std::move(wide);
  std::vector<Packed>().swap(packed_);
  wide_ = true;
  return true;
}

std::pair<double, double> PointRing::value_extremes(size_t from, size_t to) const {
  double low = (*this)[from].value;
  double high = low;
  const auto take = [&](double v) {
    low = v < low ? v : low;
    high = v > high ? v : high;
  };
  // The slots in order, as at most two runs: no wrap test per point.
  const auto runs = [&](const auto& slots, const auto& value_of) {
    const size_t n = slots.size();
    size_t at = slot(from + 1, n);
    for (size_t left = to - from - 1; left > 0;) {
      const size_t run = std::min(left, n - at);
      for (size_t k = at; k < at + run; ++k) take(value_of(slots[k]));
      left -= run;
      at = 0;
    }
  };
  if (to - from < 2) return {low, high};
  if (wide_) {
    runs(points_, [](const SeriesPoint& p) { return p.value; });
  } else {
    runs(packed_, [](const Packed& q) { return unpack_value(q.value); });
  }
  return {low, high};
}

size_t PointRing::lower_bound(Millis t) const {
  size_t lo = 0;
  size_t hi = size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (stamp_at(mid) < t) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

size_t PointRing::upper_bound(Millis t) const {
  size_t lo = 0;
  size_t hi = size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (stamp_at(mid) <= t) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

const Series* TabSeries::find(std::string_view name) const {
  for (const Series& s : series_) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

Series* TabSeries::find_or_add(std::string_view name) {
  uint8_t& cached = by_hash_[name_slot(name)];
  for (size_t i = 0; i < series_.size(); ++i) {
    if (same_text(series_[i].name, name)) {
      cached = static_cast<uint8_t>(i + 1);
      return &series_[i];
    }
  }
  if (series_.size() >= kMaxSeries) return nullptr;
  series_.push_back(Series{std::string(name), PointRing(capacity_), {}, true});
  cached = static_cast<uint8_t>(series_.size());
  return &series_.back();
}

void TabSeries::append_values(Millis stamp, std::span<const ExtractedValue> values) {
  for (size_t i = 0; i < values.size(); ++i) {
    const ExtractedValue& v = values[i];
    Series* s = lookup(v.name, i);
    if (s == nullptr) continue;
    s->points.push({stamp, v.value});
    RunningStats& r = s->running;
    if (r.count == 0) {
      r.min = r.max = v.value;
    } else {
      r.min = std::min(r.min, v.value);
      r.max = std::max(r.max, v.value);
    }
    r.count += 1;
    r.sum += v.value;
    r.mean = r.sum / static_cast<double>(r.count);
    r.last = v.value;
  }
}

void TabSeries::set_stats_mode(StatsChoice choice) {
  switch (choice) {
    case StatsChoice::SinceOpening:
      over_span_ = false;
      break;
    case StatsChoice::VisibleSpan:
      over_span_ = true;
      break;
    case StatsChoice::Reset:
      // The points stay, so the plot and the visible-span figures do not move.
      for (Series& s : series_) s.running = RunningStats{};
      break;
  }
}

void TabSeries::toggle_pause(Millis now) {
  if (paused_at_) {
    paused_at_.reset();
  } else {
    paused_at_ = now;
  }
}

void TabSeries::zoom_span(int wheel_delta) {
  if (wheel_delta == 0) return;
  // Whole milliseconds in integer arithmetic: 60,000 forward is exactly 40,000.
  const Millis next = wheel_delta > 0 ? span_ * 2 / 3 : span_ * 3 / 2;
  span_ = std::clamp(next, kMinSpan, kMaxSpan);
}

void TabSeries::toggle_series_visible(size_t index) {
  if (index < series_.size()) series_[index].visible = !series_[index].visible;
}

TimeWindow TabSeries::window(Millis now) const {
  const Millis end = paused_at_ ? *paused_at_ : now;
  return {end - span_, end};
}

SeriesStats TabSeries::stats(size_t index, Millis now) const {
  SeriesStats out;
  if (index >= series_.size()) return out;
  const Series& s = series_[index];
  if (!s.points.empty()) out.current = s.points.newest().value;
  if (!over_span_) {
    out.count = s.running.count;
    out.min = s.running.min;
    out.max = s.running.max;
    out.mean = s.running.mean;
    return out;
  }
  const TimeWindow w = window(now);
  const size_t first = s.points.lower_bound(w.start);
  const size_t last = s.points.upper_bound(w.end);
  double sum = 0;
  for (size_t i = first; i < last; ++i) {
    const double v = s.points[i].value;
    if (out.count == 0) {
      out.min = out.max = v;
    } else {
      out.min = std::min(out.min, v);
      out.max = std::max(out.max, v);
    }
    ++out.count;
    sum += v;
  }
  if (out.count > 0) out.mean = sum / static_cast<double>(out.count);
  return out;
}

std::string span_label(Millis millis) {
  if (millis <= 59'999) {
    return fill(tr("최근 {0}초", "Last {0} s"), {std::to_string(millis / 1'000)});
  }
  if (millis >= 3'600'000) {
    return fill(tr("최근 {0}시간", "Last {0} h"), {std::to_string(millis / 3'600'000)});
  }
  return fill(tr("최근 {0}분", "Last {0} min"), {std::to_string(millis / 60'000)});
}

}  // namespace lw
