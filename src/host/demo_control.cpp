#include "host/demo_control.h"

#include <charconv>
#include <vector>

namespace lw {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

// The whole word as a decimal integer: no sign other than a leading "-"
// where T is signed, no other characters, no overflow.
template <class T>
std::optional<T> integer(std::string_view word) {
  T value{};
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

size_t parameter_count(int number) {
  switch (number) {
    case kMsgDemoToggle:
    case kMsgDemoFraming:
    case kMsgDemoTake:
      return 1;
    case kMsgDemoRepeat:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

std::optional<AppMessage> parse_demo_control_line(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  const std::vector<std::string_view> w = words(line);
  if (w.empty()) return std::nullopt;
  const std::optional<int> number = integer<int>(w[0]);
  if (!number) return std::nullopt;
  const size_t count = parameter_count(*number);
  if (count == 0 || w.size() != count + 1) return std::nullopt;
  AppMessage msg{*number, 0, 0};
  const std::optional<uint64_t> first = integer<uint64_t>(w[1]);
  if (!first) return std::nullopt;
  msg.param1 = *first;
  if (count == 2) {
    const std::optional<int64_t> second = integer<int64_t>(w[2]);
    if (!second) return std::nullopt;
    msg.param2 = *second;
  }
  return msg;
}

std::optional<std::string> DemoLineBuffer::finish() {
  std::optional<std::string> rest;
  if (!overflow_ && !partial_.empty()) rest = partial_;
  partial_.clear();
  overflow_ = false;
  return rest;
}

}  // namespace lw
