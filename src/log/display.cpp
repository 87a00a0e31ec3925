#include "log/display.h"

#include <cstdio>
#include <cstring>

#include "base/ascii.h"
#include "base/cp949.h"
#include "base/utf8.h"
#include "lang/tr.h"
#include "log/checksum.h"

namespace lw {

namespace {

bool needs_picture(uint8_t c) { return (c < 0x20 && c != 0x09) || c == 0x7F; }

// True when none of the 8 bytes at p can stop a verbatim run; a false answer
// may be wrong (the bytes are then looked at one by one), a true one never is.
bool word_plain(const uint8_t* p, bool pictures) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  uint64_t stop = w & kHigh;
  if (pictures) {
    stop |= (w - kOnes * 0x20) & ~w & kHigh;  // a byte below 0x20
    const uint64_t del = w ^ (kOnes * 0x7F);
    stop |= (del - kOnes) & ~del & kHigh;  // a DEL
  }
  return stop == 0;
}

// Length of the leading bytes that are ASCII and, with pictures, need none.
size_t plain_run(const uint8_t* p, size_t n, bool pictures) {
  size_t i = 0;
  for (;;) {
    while (i + 8 <= n && word_plain(p + i, pictures)) i += 8;
    const size_t stop = i + 8 < n ? i + 8 : n;
    for (; i < stop; ++i) {
      if (p[i] >= 0x80 || (pictures && needs_picture(p[i]))) return i;
    }
    if (i == n) return n;
  }
}

// One character that a single UTF-16 unit holds, and not the replacement.
bool one_unit_character(char32_t c) {
  return c < 0x10000 && c != 0xFFFD && (c < 0xD800 || c > 0xDFFF);
}

void decode(std::span<const uint8_t> bytes, bool pictures, std::string& out) {
  out.clear();
  const uint8_t* p = bytes.data();
  const size_t n = bytes.size();
  const std::string_view s(reinterpret_cast<const char*>(p), n);
  size_t i = 0;
  size_t run = 0;  // start of the bytes still to be copied verbatim
  while (i < n) {
    i += plain_run(p + i, n - i, pictures);
    if (i == n) break;
    const uint8_t c = p[i];
    if (c < 0x80) {  // a control character that gets its picture
      if (run == 0) out.reserve(n + 8);
      out.append(s.substr(run, i - run));
      append_utf8(out, c == 0x7F ? char32_t{0x2421} : static_cast<char32_t>(0x2400u + c));
      run = ++i;
      continue;
    }
    const Utf8Step step = decode_utf8(s, i);
    if (step.length != 0) {
      i += step.length;
      continue;
    }
    if (run == 0) out.reserve(n + 8);
    out.append(s.substr(run, i - run));
    if (c >= 0x81 && c <= 0xFE && i + 1 < n && p[i + 1] >= 0x41 && p[i + 1] <= 0xFE) {
      const std::optional<char32_t> pair = cp949_pair(c, p[i + 1]);
      if (pair && one_unit_character(*pair)) {
        append_utf8(out, *pair);
        i += 2;
        run = i;
        continue;
      }
    }
    append_utf8(out, c);
    run = ++i;
  }
  if (run == 0) {
    out.assign(s);  // valid throughout: one copy
  } else {
    out.append(s.substr(run));
  }
}

void append_hex(std::string& out, uint8_t b) {
  if (!out.empty()) out.push_back(' ');
  out.push_back(kHexUpper[b >> 4]);
  out.push_back(kHexUpper[b & 0x0F]);
}

std::string hex_text(const LineRecord& record) {
  std::string out;
  out.reserve(record.bytes.size() * 3 + 6);
  for (uint8_t b : record.bytes.span()) append_hex(out, b);
  if (record.ending == LineEnding::Cr || record.ending == LineEnding::CrLf) append_hex(out, 0x0D);
  if (record.ending == LineEnding::Lf || record.ending == LineEnding::CrLf) append_hex(out, 0x0A);
  return out;
}

}  // namespace

StampMode stamp_mode_from_value(uint32_t value) {
  switch (value) {
    case 1:
      return StampMode::DateAndTime;
    case 2:
      return StampMode::SinceOpening;
    default:
      return StampMode::Time;
  }
}

std::string line_text(const LineRecord& record, bool hex) {
  std::string out;
  line_text(record, hex, out);
  return out;
}

void line_text(const LineRecord& record, bool hex, std::string& out) {
  if (record.direction == Direction::Mark) {
    out.assign(record.bytes.view());
  } else if (hex) {
    out = hex_text(record);
  } else {
    decode(record.bytes.span(), true, out);
  }
}

void decode_line_text(std::span<const uint8_t> bytes, std::string& out) {
  decode(bytes, false, out);
}

std::string decode_line_text(std::span<const uint8_t> bytes) {
  std::string out;
  decode(bytes, false, out);
  return out;
}

FrameVerdict frame_verdict(const LineRecord& record, const std::optional<FrameSpec>& framing) {
  if (!framing || framing->checksum == ChecksumKind::None) return FrameVerdict::None;
  if (record.direction != Direction::Received || record.ending != LineEnding::None) {
    return FrameVerdict::None;
  }
  const size_t n = record.bytes.size();
  if (n != framing->length) return FrameVerdict::Bad;
  return frame_check_matches(framing->checksum, record.bytes.span()) ? FrameVerdict::Good
                                                                     : FrameVerdict::Bad;
}

std::string frame_verdict_suffix(FrameVerdict verdict) {
  switch (verdict) {
    case FrameVerdict::Good:
      return "   ✓";
    case FrameVerdict::Bad:
      return "   " + tr("✗ 체크섬 오류", "✗ bad checksum");
    case FrameVerdict::None:
      break;
  }
  return {};
}

std::string format_stamp(Millis time, Millis opened_at, StampMode mode) {
  switch (mode) {
    case StampMode::DateAndTime:
      return format_date_time(time);
    case StampMode::SinceOpening: {
      // Unsigned, so that no pair of times can overflow the difference.
      const uint64_t d =
          time > opened_at ? static_cast<uint64_t>(time) - static_cast<uint64_t>(opened_at) : 0;
      const auto ms = static_cast<unsigned>(d % 1000);
      const auto sec = static_cast<unsigned>(d / 1000 % 60);
      const auto min = static_cast<unsigned>(d / 60'000 % 60);
      const uint64_t hours = d / 3'600'000;
      char buf[40];
      std::snprintf(buf, sizeof buf, "%02u:%02u.%03u", min, sec, ms);
      return hours == 0 ? "+" + std::string(buf) : "+" + std::to_string(hours) + ":" + buf;
    }
    case StampMode::Time:
      break;
  }
  return format_hms_millis(time);
}

std::string copy_text(const LineRecord& record, bool hex_view, StampMode mode, Millis opened_at) {
  if (record.direction == Direction::Mark) return std::string(record.bytes.view());
  std::string out = format_stamp(record.time, opened_at, mode);
  out += "  ";
  if (record.direction == Direction::Sent) out += "→ ";
  out += line_text(record, hex_view);
  return out;
}

}  // namespace lw
