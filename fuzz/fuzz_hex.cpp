// Hex mode of the send box. Whatever reads gives bytes that read back the
// same from each of the accepted spellings ("48 65", "0x48,0x65", "48-65",
// "4865"); a failure carries the notice text; and the hex view of any
// received line can be typed back in to give its bytes and its ending.
//
// Input: the text typed; the same bytes also serve as a line for the hex view.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "log/display.h"
#include "send/hex.h"

namespace {

std::string spelled(std::span<const uint8_t> bytes, std::string_view prefix,
                    std::string_view separator) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += separator;
    out += prefix;
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0x0F];
  }
  return out;
}

void check_reads_as(std::string_view text, std::span<const uint8_t> bytes) {
  const lw::Result<lw::Bytes> got = lw::parse_hex_bytes(text);
  LW_FUZZ_CHECK(got.ok());
  LW_FUZZ_CHECK(got->size() == bytes.size());
  LW_FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), got->span().begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = lw::fuzz::as_text(data, size);
  const lw::Result<lw::Bytes> parsed = lw::parse_hex_bytes(text);
  if (parsed.ok()) {
    // Never more bytes than hex digits.
    size_t digits = 0;
    for (const char c : text) {
      if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) ++digits;
    }
    LW_FUZZ_CHECK(parsed->size() <= digits);
    const std::span<const uint8_t> b = parsed->span();
    check_reads_as(spelled(b, "", " "), b);
    check_reads_as(spelled(b, "0x", ","), b);
    check_reads_as(spelled(b, "", "-"), b);
    check_reads_as(spelled(b, "", ""), b);
  } else {
    LW_FUZZ_CHECK(parsed.error().text == lw::hex_error_text());
  }

  // The hex view of the input as a received line, typed back.
  lw::LineRecord record;
  record.bytes = lw::Bytes(std::span<const uint8_t>(data, size));
  record.ending = static_cast<lw::LineEnding>(size % 4);
  std::vector<uint8_t> with_ending(data, data + size);
  if (record.ending == lw::LineEnding::Cr || record.ending == lw::LineEnding::CrLf) {
    with_ending.push_back(0x0D);
  }
  if (record.ending == lw::LineEnding::Lf || record.ending == lw::LineEnding::CrLf) {
    with_ending.push_back(0x0A);
  }
  check_reads_as(lw::line_text(record, true), with_ending);
  return 0;
}
