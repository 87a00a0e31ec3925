#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/unicode.h"
#include "lang/tr.h"
#include "log/display.h"

namespace lw {

namespace {

constexpr uint32_t kMinFrameLength = 2;
constexpr uint32_t kMaxFrameLength = 4096;

std::vector<std::string> tokens_of(std::string_view text) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < text.size()) {
    const size_t end = text.find_first_of(" \t,", i);
    const size_t stop = end == std::string_view::npos ? text.size() : end;
    if (stop > i) tokens.push_back(unicode::to_lower(text.substr(i, stop - i)));
    i = stop + 1;
  }
  return tokens;
}

int digit_value(char c, int base) {
  const int v = hex_digit_value(c);
  return v < base ? v : -1;
}

// Digits in the base with an optional leading "+", no larger than max.
std::optional<uint32_t> read_number(std::string_view s, int base, uint32_t max) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : s) {
    const int d = digit_value(c, base);
    if (d < 0) return std::nullopt;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
    if (value > max) return std::nullopt;
  }
  return value;
}

std::optional<uint8_t> read_start_byte(std::string_view s) {
  while (s.starts_with("0x")) s.remove_prefix(2);
  const std::optional<uint32_t> v = read_number(s, 16, 0xFF);
  if (!v) return std::nullopt;
  return static_cast<uint8_t>(*v);
}

Failure<Error> unreadable() {
  return fail(Error{0, tr("읽을 수 없습니다. 예: AA 8 sum (시작 바이트, 길이, 체크섬)",
                          "Couldn't read that. Example: AA 8 sum (start byte, length, checksum)")});
}

}  // namespace

Result<FrameSpec> parse_frame_spec(std::string_view text) {
  FrameSpec framing;
  framing.checksum = ChecksumKind::None;
  std::vector<std::string> rest;
  for (std::string& token : tokens_of(text)) {
    if (token == "sum" || token == "sum8" || token == "합") {
      framing.checksum = ChecksumKind::Sum;
    } else if (token == "xor") {
      framing.checksum = ChecksumKind::Xor;
    } else if (token == "none" || token == "없음") {
      framing.checksum = ChecksumKind::None;
    } else {
      rest.push_back(std::move(token));
    }
  }
  if (rest.empty() || rest.size() > 2) return unreadable();
  if (rest.size() == 2) {
    framing.start = read_start_byte(rest.front());
    if (!framing.start) return unreadable();
  }
  // The upper bound only stops overflow; the range is checked below.
  const std::optional<uint32_t> length = read_number(rest.back(), 10, kMaxFrameLength + 1);
  if (!length || *length < kMinFrameLength || *length > kMaxFrameLength) return unreadable();
  framing.length = *length;
  return framing;
}

std::string frame_spec_text(const FrameSpec& framing) {
  std::string out;
  if (framing.start) {
    out += kHexUpper[*framing.start >> 4];
    out += kHexUpper[*framing.start & 0x0F];
    out += ' ';
  }
  out += std::to_string(framing.length);
  if (framing.checksum == ChecksumKind::Sum) out += " sum";
  if (framing.checksum == ChecksumKind::Xor) out += " xor";
  return out;
}

}  // namespace lw
