// How received bytes become text: UTF-8 where valid, else a code page 949
// pair, else the byte as U+0000..U+00FF, then control pictures. The fast
// decoder must equal that rule read one character at a time; its output is
// always valid UTF-8 and free of control characters but TAB; valid UTF-8
// without controls comes through unchanged; the hex form lists every byte and
// the ending; a reused output buffer changes nothing.
//
// Input: [ending and direction] then the line's bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/cp949.h"
#include "base/utf8.h"
#include "fuzz_support.h"
#include "log/display.h"

namespace {

using lw::LineEnding;
using lw::LineRecord;

std::string model_decode(std::span<const uint8_t> bytes, bool pictures) {
  const std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    char32_t c;
    const lw::Utf8Step step = lw::decode_utf8(s, i);
    const uint8_t b = bytes[i];
    if (step.length != 0) {
      c = step.scalar;
      i += step.length;
    } else {
      std::optional<char32_t> pair;
      if (b >= 0x81 && b <= 0xFE && i + 1 < s.size() && bytes[i + 1] >= 0x41 &&
          bytes[i + 1] <= 0xFE) {
        pair = lw::cp949_pair(b, bytes[i + 1]);
        if (pair && (*pair >= 0x10000 || *pair == 0xFFFD || (*pair >= 0xD800 && *pair <= 0xDFFF))) {
          pair.reset();
        }
      }
      if (pair) {
        c = *pair;
        i += 2;
      } else {
        c = b;
        i += 1;
      }
    }
    if (pictures && c < 0x20 && c != 0x09) c += 0x2400;
    if (pictures && c == 0x7F) c = 0x2421;
    lw::append_utf8(out, c);
  }
  return out;
}

std::string model_hex(const LineRecord& r) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  const auto put = [&](uint8_t b) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  };
  for (const uint8_t b : r.bytes.span()) put(b);
  if (r.ending == LineEnding::Cr || r.ending == LineEnding::CrLf) put(0x0D);
  if (r.ending == LineEnding::Lf || r.ending == LineEnding::CrLf) put(0x0A);
  return out;
}

bool has_controls(std::string_view s) {
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && u != 0x09) || u == 0x7F) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lw::fuzz::FuzzInput in(data, size);
  const uint8_t head = in.byte();
  const std::span<const uint8_t> bytes = in.rest();
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  LineRecord record;
  record.bytes = lw::Bytes(bytes);
  record.ending = static_cast<LineEnding>(head & 3);
  record.direction = (head & 4) != 0 ? lw::Direction::Sent : lw::Direction::Received;

  const std::string text = lw::line_text(record, false);
  LW_FUZZ_CHECK(lw::is_valid_utf8(text));
  LW_FUZZ_CHECK(!has_controls(text));
  LW_FUZZ_CHECK(text == model_decode(bytes, true));
  if (lw::is_valid_utf8(raw) && !has_controls(raw)) LW_FUZZ_CHECK(text == raw);

  const std::string decoded = lw::decode_line_text(bytes);
  LW_FUZZ_CHECK(lw::is_valid_utf8(decoded));
  LW_FUZZ_CHECK(decoded == model_decode(bytes, false));
  if (lw::is_valid_utf8(raw)) LW_FUZZ_CHECK(decoded == raw);

  std::string reused = "left over from the line before, longer than most";
  lw::decode_line_text(bytes, reused);
  LW_FUZZ_CHECK(reused == decoded);

  LW_FUZZ_CHECK(lw::line_text(record, true) == model_hex(record));

  // A mark is its own text, whatever the view.
  record.direction = lw::Direction::Mark;
  LW_FUZZ_CHECK(lw::line_text(record, false) == raw);
  LW_FUZZ_CHECK(lw::line_text(record, true) == raw);
  return 0;
}
