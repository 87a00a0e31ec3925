#pragma once
// The bounded received log of one session: the lines received, sent and
// marked, oldest first, with the search filter, the selection and the view's
// scroll position. Lines keep an absolute number (dropped + position) that
// stays the same while older lines leave at the front.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "log/display.h"
#include "log/ring.h"
#include "session/records.h"

namespace lw {

inline constexpr size_t kLogMaxLines = 200'000;
inline constexpr uint64_t kLogMaxBytes = 64ull * 1024 * 1024;

// Anchor and caret are absolute line numbers, inclusive, in either order.
struct Selection {
  uint64_t anchor = 0;
  uint64_t caret = 0;
  bool operator==(const Selection&) const = default;
};

struct Appended {
  uint64_t absolute = 0;  // the new line's number
  bool shown = true;      // it is one of the shown lines (always, without a filter)
  size_t trimmed = 0;     // old lines removed to stay within the limits
};

enum class SearchOutcome : uint8_t {
  NothingToDo,  // no search text or no shown line
  Found,        // the matching line is selected and in view
  NotFound,     // nothing changed; the caller shows "Not found"
};

struct CopiedLines {
  std::string text;  // lines joined with CR LF, none after the last
  size_t count = 0;
};

// The search field's text as the log looks for it: trimmed of Unicode white
// space and lower-cased.
std::string normalize_search_text(std::string_view text);

// False for an empty search text; else whether the lower-cased line_text
// (hex dump in hex view) holds it. search_text is already normalized.
bool line_matches(const LineRecord& record, bool hex, std::string_view search_text);

// Notice texts for the callers of search_next and copy_selection.
std::string not_found_notice();
std::string select_lines_first_notice();
std::string copied_lines_notice(size_t count);

class Log {
 public:
  explicit Log(size_t max_lines = kLogMaxLines, uint64_t max_bytes = kLogMaxBytes);
  Log(Log&&) noexcept = default;
  Log& operator=(Log&&) noexcept = default;

  // Takes the record (its buffer is moved, not copied), keeps the filter up
  // to date and drops the oldest lines beyond the limits; the newest line
  // always stays. The line's text is only decoded while a filter is present.
  Appended append(LineRecord record, std::string_view search_text);
  // Empties the log; Matching only stays on with an empty list.
  void clear();

  // --- lines in the log, oldest first, by absolute number ---
  size_t line_count() const { return lines_.size(); }
  uint64_t dropped() const { return dropped_; }
  uint64_t first_absolute() const { return dropped_; }
  uint64_t end_absolute() const { return dropped_ + lines_.size(); }
  const LineRecord* find(uint64_t absolute) const;
  const LineRecord& back() const { return lines_.back(); }
  // The first line whose time is at or after `time`, by bisection over the
  // times in log order; end_absolute() when there is none.
  uint64_t first_at_or_after(Millis time) const;
  // Calls f(absolute, record) for every line from `from` (absolute) on.
  template <class F>
  void for_each_from(uint64_t from, F&& f) const {
    for (uint64_t a = from < dropped_ ? dropped_ : from; a < end_absolute(); ++a) {
      f(a, lines_[static_cast<size_t>(a - dropped_)]);
    }
  }

  uint64_t held_bytes() const { return held_bytes_; }
  uint64_t lines_received() const { return lines_received_; }
  size_t max_lines() const { return max_lines_; }
  uint64_t max_bytes() const { return max_bytes_; }

  // --- search and Matching only; search_text is normalized and application-wide ---
  bool matching_only() const { return filter_.has_value(); }
  // The shown lines' absolute numbers while Matching only is on, ascending.
  std::span<const uint64_t> filter() const;
  // A new search text: while Matching only is on, rebuilds the filter, moves
  // to the top and sets follow. The caller then settles the current log's view.
  void rebuild_filter(std::string_view search_text);
  void set_matching_only(bool on, std::string_view search_text, size_t visible_rows);
  SearchOutcome search_next(bool backwards, std::string_view search_text, size_t visible_rows);

  // --- rows: the shown lines, in order ---
  size_t shown_count() const;
  const LineRecord& shown_record(size_t row) const;
  uint64_t absolute_of_row(size_t row) const;
  // The row showing that line, if it is shown.
  std::optional<size_t> row_of_absolute(uint64_t absolute) const;
  // The first row whose line is at or after that line; shown_count() if none.
  size_t row_at_or_after(uint64_t absolute) const;

  // --- selection and copy ---
  const std::optional<Selection>& selection() const { return selection_; }
  void set_selection(std::optional<Selection> selection) { selection_ = selection; }
  void select_all();
  // The shown lines of the selection in log order, as copy_text forms them;
  // nothing without a selection or when none of its lines is still shown.
  std::optional<CopiedLines> copy_selection(StampMode mode, Millis opened_at) const;

  // --- view ---
  bool hex_view() const { return hex_view_; }
  // Matching uses the shown form, so the filter is rebuilt.
  void set_hex_view(bool on, std::string_view search_text, size_t visible_rows);
  double scroll() const { return scroll_; }
  void set_scroll(double scroll) { scroll_ = scroll; }
  bool follow() const { return follow_; }
  void set_follow(bool follow) { follow_ = follow; }
  void jump_to_bottom(size_t visible_rows);
  // scroll = max(0, shown lines - visible rows)
  void scroll_to_end(size_t visible_rows);
  // Keeps scroll within 0 .. the end.
  void clamp_scroll(size_t visible_rows);
  // After new lines: to the end while following, else clamped.
  void settle_scroll(size_t visible_rows);

 private:
  bool shown_under_filter(const LineRecord& record, std::string_view search_text) const;
  void build_filter(std::string_view search_text);
  size_t trim_filter();
  double max_scroll(size_t visible_rows) const;

  Ring<LineRecord> lines_;
  uint64_t dropped_ = 0;
  uint64_t held_bytes_ = 0;
  uint64_t lines_received_ = 0;
  size_t max_lines_;
  uint64_t max_bytes_;
  // The filter is filter_[filter_head_..]; entries before the head were
  // trimmed and are dropped in bulk, so trimming stays cheap on a full log.
  std::optional<std::vector<uint64_t>> filter_;
  size_t filter_head_ = 0;
  std::optional<Selection> selection_;
  double scroll_ = 0;
  bool follow_ = true;
  bool hex_view_ = false;
};

}  // namespace lw
