#pragma once
// Outside control of the simulated devices where there are no window
// messages to post: a local process writes text lines such as "30 1",
// "31 500 10", "32 1" or "33 0" to the program's control socket, and each line
// becomes the application message of that number with its parameters.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/host.h"

namespace lw {

// "30 INDEX", "31 INTERVAL TIMES", "32 ON" or "33 INDEX": the number, then exactly the
// parameters that message uses, as decimal integers separated by spaces or
// tabs (leading and trailing ones allowed, a final CR too). The first
// parameter is never negative; the second may be (0 or less: until stopped).
// Anything else, other message numbers included, is refused.
std::optional<AppMessage> parse_demo_control_line(std::string_view line);

// Cuts what arrives on one connection into lines at LF. A line longer than
// kMaxLine bytes is dropped whole, so a runaway sender can't grow memory.
class DemoLineBuffer {
 public:
  static constexpr size_t kMaxLine = 128;

  // Adds bytes; on_line runs for every line they complete.
  template <class F>
  void feed(std::string_view bytes, F&& on_line) {
    for (char c : bytes) {
      if (c == '\n') {
        if (!overflow_) on_line(std::string_view(partial_));
        partial_.clear();
        overflow_ = false;
      } else if (partial_.size() < kMaxLine) {
        partial_.push_back(c);
      } else {
        overflow_ = true;
      }
    }
  }
  // The unfinished line at the end of a connection, if it is one.
  std::optional<std::string> finish();

 private:
  std::string partial_;
  bool overflow_ = false;
};

}  // namespace lw
