// Matching, the Matching only filter, search next/previous and copying.
#include <algorithm>
#include <cmath>

#include "base/unicode.h"
#include "base/utf8.h"
#include "lang/tr.h"
#include "log/log.h"

namespace lw {

std::string normalize_search_text(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size()) {
    const Utf8Step step = decode_utf8(text, begin);
    if (step.length == 0 || !unicode::is_white_space(step.scalar)) break;
    begin += step.length;
  }
  size_t end = text.size();
  while (end > begin) {
    // Step back to the start of the last character.
    size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    const Utf8Step step = decode_utf8(text, start);
    if (step.length != end - start || !unicode::is_white_space(step.scalar)) break;
    end = start;
  }
  return unicode::to_lower(text.substr(begin, end - begin));
}

bool line_matches(const LineRecord& record, bool hex, std::string_view search_text) {
  if (search_text.empty()) return false;
  return unicode::to_lower(line_text(record, hex)).find(search_text) != std::string::npos;
}

std::string not_found_notice() { return tr("찾을 수 없습니다", "Not found"); }

std::string select_lines_first_notice() {
  return tr("먼저 줄을 선택하세요 (클릭 또는 드래그)", "Select lines first (click or drag)");
}

std::string copied_lines_notice(size_t count) {
  return fill(tr("{0}줄을 복사했습니다", "Copied {0} lines"), {std::to_string(count)});
}

bool Log::shown_under_filter(const LineRecord& record, std::string_view search_text) const {
  return record.direction == Direction::Mark || line_matches(record, hex_view_, search_text);
}

void Log::build_filter(std::string_view search_text) {
  std::vector<uint64_t> f;
  for_each_from(dropped_, [&](uint64_t absolute, const LineRecord& record) {
    if (shown_under_filter(record, search_text)) f.push_back(absolute);
  });
  filter_ = std::move(f);
  filter_head_ = 0;
}

void Log::rebuild_filter(std::string_view search_text) {
  if (!filter_) return;
  build_filter(search_text);
  scroll_ = 0;
  follow_ = true;
}

void Log::set_matching_only(bool on, std::string_view search_text, size_t visible_rows) {
  if (on) {
    build_filter(search_text);
  } else {
    filter_.reset();
    filter_head_ = 0;
  }
  follow_ = true;
  scroll_to_end(visible_rows);
}

void Log::set_hex_view(bool on, std::string_view search_text, size_t visible_rows) {
  hex_view_ = on;
  if (filter_) build_filter(search_text);
  settle_scroll(visible_rows);
}

SearchOutcome Log::search_next(bool backwards, std::string_view search_text, size_t visible_rows) {
  const size_t n = shown_count();
  if (search_text.empty() || n == 0) return SearchOutcome::NothingToDo;
  const auto first_visible = static_cast<size_t>(std::max(0.0, std::floor(scroll_)));
  size_t start = std::min(first_visible, n - 1);
  if (selection_) {
    start = row_at_or_after(selection_->caret);
    // A caret past the last shown row: forward begins at the top, backwards
    // at the bottom.
    if (start == n) start = backwards ? 0 : n - 1;
  }
  for (size_t k = 1; k <= n; ++k) {
    const size_t step = k % n;  // the start row itself comes last
    const size_t row = backwards ? (start + n - step) % n : (start + step) % n;
    if (!line_matches(shown_record(row), hex_view_, search_text)) continue;
    const uint64_t absolute = absolute_of_row(row);
    selection_ = Selection{absolute, absolute};
    follow_ = false;
    if (row < first_visible || row >= first_visible + visible_rows) {
      const size_t half = visible_rows / 2;
      scroll_ = row > half ? static_cast<double>(row - half) : 0.0;
    }
    return SearchOutcome::Found;
  }
  return SearchOutcome::NotFound;
}

std::optional<CopiedLines> Log::copy_selection(StampMode mode, Millis opened_at) const {
  if (!selection_) return std::nullopt;
  const uint64_t lo = std::min(selection_->anchor, selection_->caret);
  const uint64_t hi = std::max(selection_->anchor, selection_->caret);
  CopiedLines copied;
  for (size_t row = row_at_or_after(lo); row < shown_count(); ++row) {
    const uint64_t absolute = absolute_of_row(row);
    if (absolute > hi) break;
    if (copied.count++ > 0) copied.text += "\r\n";
    copied.text += copy_text(shown_record(row), hex_view_, mode, opened_at);
  }
  // Every selected line was trimmed away (or filtered out): as good as none.
  if (copied.count == 0) return std::nullopt;
  return copied;
}

}  // namespace lw
