#pragma once
// What a tab has sent from its box, oldest first, walked with Up and Down.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

inline constexpr size_t kSendHistoryLimit = 100;

class SendHistory {
 public:
  // After a send from the box: the text is added unless it is empty or the
  // same as the newest entry; beyond 100 entries the oldest goes. The walk
  // starts over.
  void add_sent(std::string_view text);
  // Starting a repeat adds by the same rule, without the limit.
  void add_repeated(std::string_view text);

  // Up: the text the box shows next, or nothing when the history is empty.
  std::optional<std::string> older();
  // Down: the text the box shows next ("" empties it), or nothing when the
  // history is empty.
  std::optional<std::string> newer();
  void reset_cursor() { cursor_.reset(); }

  const std::vector<std::string>& entries() const { return entries_; }
  std::optional<size_t> cursor() const { return cursor_; }

 private:
  bool add(std::string_view text);

  std::vector<std::string> entries_;
  std::optional<size_t> cursor_;
};

}  // namespace lw
