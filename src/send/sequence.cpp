#include "send/sequence.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "base/trim.h"
#include "base/unicode.h"

namespace lw {

namespace {

std::optional<double> read_number(std::string_view s) {
  s = trim_white_space(s);
  // from_chars reads no plus sign; one in front of the number is allowed.
  if (s.starts_with('+')) {
    s.remove_prefix(1);
    if (s.starts_with('-')) return std::nullopt;
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// The duration text after a prefix, in milliseconds before clamping.
std::optional<double> read_duration(std::string_view d) {
  constexpr std::string_view kSeconds = "\xEC\xB4\x88";  // 초
  if (d.size() >= 2 && d.ends_with("ms")) {
    return read_number(d.substr(0, d.size() - 2));
  }
  if (d.ends_with('s')) {
    auto n = read_number(d.substr(0, d.size() - 1));
    if (n) *n *= 1000;
    return n;
  }
  if (d.size() > 2 && d.ends_with(kSeconds)) {
    auto n = read_number(d.substr(0, d.size() - kSeconds.size()));
    if (n) *n *= 1000;
    return n;
  }
  return read_number(d);
}

uint32_t clamp_millis(double ms) {
  if (std::isnan(ms) || ms <= 0) return 0;
  if (ms >= kMaxWaitMillis) return kMaxWaitMillis;
  return static_cast<uint32_t>(ms);  // truncates
}

std::optional<uint32_t> wait_millis(std::string_view segment) {
  static constexpr std::string_view kPrefixes[] = {"wait ", "\xEB\x8C\x80\xEA\xB8\xB0 ",  // 대기
                                                   "delay "};
  const std::string lower = unicode::to_lower(segment);
  for (std::string_view prefix : kPrefixes) {
    if (!std::string_view(lower).starts_with(prefix)) continue;
    const std::string_view d = trim_white_space(std::string_view(lower).substr(prefix.size()));
    if (auto ms = read_duration(d)) return clamp_millis(*ms);
  }
  return std::nullopt;
}

}  // namespace

std::vector<SequenceStep> parse_sequence(std::string_view text) {
  std::vector<SequenceStep> steps;
  while (true) {
    const size_t bar = text.find('|');
    const std::string_view segment = trim_white_space(text.substr(0, bar));
    if (!segment.empty()) {
      if (auto ms = wait_millis(segment)) {
        steps.push_back(SequenceStep::wait(*ms));
      } else {
        steps.push_back(SequenceStep::send(std::string(segment)));
      }
    }
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return steps;
}

}  // namespace lw
