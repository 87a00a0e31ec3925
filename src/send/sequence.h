#pragma once
// "*RST | wait 500 | MEAS:VOLT?": send and wait steps.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

inline constexpr uint32_t kMaxWaitMillis = 3'600'000;

struct SequenceStep {
  enum class Kind : uint8_t { Send, Wait };
  Kind kind = Kind::Send;
  std::string text;     // Send
  uint32_t millis = 0;  // Wait, 0 .. kMaxWaitMillis

  static SequenceStep send(std::string text) { return {Kind::Send, std::move(text), 0}; }
  static SequenceStep wait(uint32_t millis) { return {Kind::Wait, {}, millis}; }
  bool operator==(const SequenceStep&) const = default;
};

// Segments between "|", trimmed, empty ones dropped. "wait ", "대기 " or
// "delay " (any case) and a duration in ms, s or 초 (ms when bare) make a
// wait, clamped to an hour; anything else is sent as typed.
std::vector<SequenceStep> parse_sequence(std::string_view text);

}  // namespace lw
