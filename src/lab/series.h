#pragma once
// The series of one tab: the values found in its received lines, by name, as
// rings of time-stamped points with running statistics, plus the graph's
// visible span, pause and statistics mode.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/time.h"
#include "lab/extract.h"
#include "lab/same_text.h"

namespace lw {

inline constexpr size_t kMaxSeries = 16;
inline constexpr size_t kSeriesPoints = 200'000;
inline constexpr Millis kDefaultSpan = 60'000;
inline constexpr Millis kMinSpan = 2'000;
inline constexpr Millis kMaxSpan = 86'400'000;
// The span menu, in menu order.
inline constexpr std::array<Millis, 8> kSpanChoices = {10'000,  30'000,    60'000,    300'000,
                                                       600'000, 1'800'000, 3'600'000, 21'600'000};

struct SeriesPoint {
  Millis stamp = 0;  // of the line the value came from
  double value = 0;
};

// Oldest first; once full, each new point replaces the oldest. Storage grows
// with use up to the capacity. A point takes 8 bytes while it packs: its
// stamp within 49 days of the ring's base stamp, its value a decimal of at
// most 8 digits and 15 decimals (what devices print), read back bit for bit.
// The first point that does not pack turns the ring into 16-byte points for
// good. Either way every point reads back exactly as it was pushed.
class PointRing {
 public:
  explicit PointRing(size_t capacity = kSeriesPoints) : capacity_(capacity) {}

  void push(SeriesPoint p) {
    ++pushed_;
    if (!wide_) {
      uint32_t code = 0;
      if (p.stamp >= base_ && p.stamp - base_ <= kMaxOffset &&
          pack_value(p.value, code, decimals_)) {
        decimals_ = code & 15;
        place(packed_, Packed{static_cast<uint32_t>(p.stamp - base_), code});
        return;
      }
      if (!push_slow(p)) return;
    }
    place(points_, p);
  }
  size_t size() const { return wide_ ? points_.size() : packed_.size(); }
  bool empty() const { return size() == 0; }
  size_t capacity() const { return capacity_; }
  SeriesPoint operator[](size_t i) const {
    if (wide_) return points_[slot(i, points_.size())];
    const Packed& q = packed_[slot(i, packed_.size())];
    return {base_ + q.offset, unpack_value(q.value)};
  }
  Millis stamp_at(size_t i) const {
    return wide_ ? points_[slot(i, points_.size())].stamp
                 : base_ + packed_[slot(i, packed_.size())].offset;
  }
  SeriesPoint newest() const { return (*this)[size() - 1]; }
  // Points pushed since the ring was made: the newest is number pushed() - 1
  // and [i] is number pushed() - size() + i, so a reader can tell which
  // points are new since it last looked.
  uint64_t pushed() const { return pushed_; }
  // By bisection over the stamps: the first point with stamp >= t, and the
  // first with stamp > t.
  size_t lower_bound(Millis t) const;
  size_t upper_bound(Millis t) const;
  // The lowest and highest value of points [from, to), from < to, met in
  // order as a loop over [i].value would (v < min, v > max).
  std::pair<double, double> value_extremes(size_t from, size_t to) const;
  // Whether the points take 16 bytes each (a point did not pack).
  bool wide() const { return wide_; }

  // The value as a sign, a magnitude below 2^27 and a count of decimals
  // (0..15), if that reads back as exactly the same double. The count tried
  // first is a hint (a series' values mostly have the same count); any
  // count that reads back will do.
  static bool pack_value(double value, uint32_t& code, uint32_t decimals_first = 0);
  static double unpack_value(uint32_t code) {
    const double x = static_cast<double>(code >> 4 & kMaxMagnitude) / kPowersOfTen[code & 15];
    return code >> 31 ? -x : x;
  }

 private:
  struct Packed {
    uint32_t offset;  // stamp - base_
    uint32_t value;   // pack_value's code
  };
  static constexpr Millis kMaxOffset = UINT32_MAX;
  static constexpr uint32_t kMaxMagnitude = (uint32_t{1} << 27) - 1;
  static constexpr double kPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

  size_t slot(size_t i, size_t n) const {
    const size_t at = head_ + i;
    return at < n ? at : at - n;
  }
  template <class T>
  void place(std::vector<T>& slots, T v) {
    // Full and going round: the common case.
    if (slots.size() == capacity_ && capacity_ != 0) {
      slots[head_] = v;
      head_ = head_ + 1 == capacity_ ? 0 : head_ + 1;
    } else {
      append(slots, v);
    }
  }
  template <class T>
  void append(std::vector<T>& slots, T v) {
    if (slots.size() == capacity_) return;  // holds nothing
    if (slots.size() == slots.capacity()) {
      slots.reserve(std::min(capacity_, std::max<size_t>(64, slots.capacity() * 2)));
    }
    slots.push_back(v);
  }
  // A point that does not pack as things stand: packs it after moving the
  // base (returns false), or turns the ring wide (returns true: the caller
  // places it among the wide points).
  bool push_slow(SeriesPoint p);

  std::vector<Packed> packed_;       // while !wide_
  std::vector<SeriesPoint> points_;  // once wide_
  Millis base_ = 0;
  size_t head_ = 0;  // index of the oldest point once full
  size_t capacity_;
  uint64_t pushed_ = 0;
  uint32_t decimals_ = 0;  // of the latest packed value
  bool wide_ = false;
};

// Since the series appeared or since the last reset.
struct RunningStats {
  uint64_t count = 0;
  double min = 0;
  double max = 0;
  double mean = 0;
  double last = 0;
  double sum = 0;
};

struct Series {
  std::string name;
  PointRing points;
  RunningStats running;
  bool visible = true;
};

// What the legend shows for a series. With count 0, min, max and mean mean
// nothing.
struct SeriesStats {
  std::optional<double> current;  // the newest point, whatever the mode
  uint64_t count = 0;
  double min = 0;
  double max = 0;
  double mean = 0;
};

struct TimeWindow {
  Millis start = 0;
  Millis end = 0;  // both included
};

enum class StatsChoice : uint8_t { SinceOpening, VisibleSpan, Reset };

class TabSeries {
 public:
  explicit TabSeries(size_t points_per_series = kSeriesPoints) : capacity_(points_per_series) {}

  // The values of one line with the line's stamp. A 17th name is dropped here
  // (it still reaches the values CSV and the alerts).
  void append_values(Millis stamp, std::span<const ExtractedValue> values);

  const std::vector<Series>& series() const { return series_; }
  const Series* find(std::string_view name) const;

  Millis span_millis() const { return span_; }
  std::optional<Millis> paused_at() const { return paused_at_; }
  bool paused() const { return paused_at_.has_value(); }
  bool stats_over_span() const { return over_span_; }
  bool graph_shown() const { return graph_shown_; }

  void set_stats_mode(StatsChoice choice);
  // Pauses at `now` (line-stamp clock) or resumes.
  void toggle_pause(Millis now);
  void set_span(Millis millis) { span_ = millis; }
  // One wheel message is one step: forward (delta > 0) ×2/3, back ×1.5.
  void zoom_span(int wheel_delta);
  void toggle_series_visible(size_t index);
  void toggle_graph() { graph_shown_ = !graph_shown_; }

  TimeWindow window(Millis now) const;
  SeriesStats stats(size_t index, Millis now) const;

 private:
  // By position first (devices print their values in the same order line
  // after line), then by the table below, then the slow way.
  Series* lookup(std::string_view name, size_t hint) {
    if (hint < series_.size() && same_text(series_[hint].name, name)) return &series_[hint];
    const uint8_t cached = by_hash_[name_slot(name)];
    if (cached != 0 && same_text(series_[cached - 1u].name, name)) return &series_[cached - 1u];
    return find_or_add(name);
  }
  Series* find_or_add(std::string_view name);
  // From the length and the first and last bytes, mixed by a multiplication
  // so that every bit of them reaches the top bits, which make the slot.
  static size_t name_slot(std::string_view name) {
    if (name.empty()) return 0;
    const uint32_t key = static_cast<uint32_t>(name.size()) << 16 |
                         static_cast<uint32_t>(static_cast<unsigned char>(name.front())) << 8 |
                         static_cast<unsigned char>(name.back());
    return (key * 0x9E3779B1u) >> 26;  // 64 slots
  }

  std::vector<Series> series_;
  // Index + 1 of the series last found for a name, by a hash of the name
  // (0 for none): lines of several layouts still find theirs at once.
  std::array<uint8_t, 64> by_hash_{};  // 2^6 slots
  size_t capacity_;
  Millis span_ = kDefaultSpan;
  std::optional<Millis> paused_at_;
  bool over_span_ = false;
  bool graph_shown_ = false;
};

// "Last 10 s", "Last 5 min", "Last 6 h" (whole units, rounded down).
std::string span_label(Millis millis);

// The display form of a value: "21.5", "12345.7", "1.235e7", "1.234e-5".
std::string format_value(double x);

}  // namespace lw
