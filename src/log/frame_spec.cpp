#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/unicode.h"
#include "lang/tr.h"
#include "log/checksum.h"
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

// The check a keyword names. CRC names may be written as the catalogues do
// ("CRC-16/MODBUS"): the marks between the parts are ignored.
std::optional<ChecksumKind> check_keyword(std::string_view token) {
  if (token == "sum" || token == "sum8" || token == "합") return ChecksumKind::Sum;
  if (token == "xor") return ChecksumKind::Xor;
  if (token == "none" || token == "없음") return ChecksumKind::None;
  if (!token.starts_with("crc")) return std::nullopt;
  std::string bare;
  for (const char c : token) {
    if (c != '-' && c != '/' && c != '_') bare += c;
  }
  if (bare == "crc8") return ChecksumKind::Crc8;
  if (bare == "crc16modbus") return ChecksumKind::Crc16Modbus;
  if (bare == "crc16ccitt" || bare == "crc16ccittfalse") return ChecksumKind::Crc16Ccitt;
  if (bare == "crc32") return ChecksumKind::Crc32;
  return std::nullopt;
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
    if (const std::optional<ChecksumKind> kind = check_keyword(token)) {
      framing.checksum = *kind;
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
  // A frame must hold something besides its check.
  if (*length <= check_size(framing.checksum)) return unreadable();
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
  switch (framing.checksum) {
    case ChecksumKind::None:
      break;
    case ChecksumKind::Sum:
      out += " sum";
      break;
    case ChecksumKind::Xor:
      out += " xor";
      break;
    case ChecksumKind::Crc8:
      out += " crc8";
      break;
    case ChecksumKind::Crc16Modbus:
      out += " crc16modbus";
      break;
    case ChecksumKind::Crc16Ccitt:
      out += " crc16ccitt";
      break;
    case ChecksumKind::Crc32:
      out += " crc32";
      break;
  }
  return out;
}

}  // namespace lw
