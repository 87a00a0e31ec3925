#include "send/history.h"

namespace lw {

bool SendHistory::add(std::string_view text) {
  if (text.empty() || (!entries_.empty() && entries_.back() == text)) return false;
  entries_.emplace_back(text);
  return true;
}

void SendHistory::add_sent(std::string_view text) {
  // Repeats may have grown it past the limit; one send drops one entry.
  if (add(text) && entries_.size() > kSendHistoryLimit) entries_.erase(entries_.begin());
  cursor_.reset();
}

void SendHistory::add_repeated(std::string_view text) { add(text); }

std::optional<std::string> SendHistory::older() {
  if (entries_.empty()) return std::nullopt;
  if (!cursor_) {
    cursor_ = entries_.size() - 1;
  } else if (*cursor_ > 0) {
    --*cursor_;
  }
  return entries_[*cursor_];
}

std::optional<std::string> SendHistory::newer() {
  if (entries_.empty()) return std::nullopt;
  if (!cursor_) return std::string();
  if (*cursor_ + 1 >= entries_.size()) {
    cursor_.reset();
    return std::string();
  }
  ++*cursor_;
  return entries_[*cursor_];
}

}  // namespace lw
