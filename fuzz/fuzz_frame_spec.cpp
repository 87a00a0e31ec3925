// The framing dialog's text. A framing that reads has a length of 2..4096 and
// its short form reads back to it; letter case and the choice between the
// three separators never change the outcome. The verdict of a frame under a
// framing that reads is good exactly when its last bytes are its check,
// worked out here by the textbook model of a CRC (width, polynomial, initial
// value, reflection, final xor) rather than by the program's own code.
//
// Input: the dialog text, optionally followed by 0xFF and a frame's bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "log/display.h"

namespace {

using lw::FrameSpec;

bool same_outcome(const lw::Result<FrameSpec>& a, const lw::Result<FrameSpec>& b) {
  if (a.ok() != b.ok()) return false;
  return !a.ok() || *a == *b;
}

std::string ascii_upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

struct CrcModel {
  int width;
  uint32_t poly;
  uint32_t init;
  bool reflected;
  uint32_t xorout;
};

uint32_t reflect(uint32_t v, int bits) {
  uint32_t r = 0;
  for (int i = 0; i < bits; ++i) r |= ((v >> i) & 1u) << (bits - 1 - i);
  return r;
}

uint32_t model_crc(const CrcModel& m, std::string_view data) {
  const uint32_t top = 1u << (m.width - 1);
  const uint32_t mask = m.width == 32 ? 0xFFFFFFFFu : (1u << m.width) - 1;
  uint32_t crc = m.init;
  for (const char ch : data) {
    uint32_t b = static_cast<uint8_t>(ch);
    if (m.reflected) b = reflect(b, 8);
    crc ^= b << (m.width - 8);
    for (int i = 0; i < 8; ++i) crc = ((crc & top) != 0 ? (crc << 1) ^ m.poly : crc << 1) & mask;
  }
  if (m.reflected) crc = reflect(crc, m.width);
  return (crc ^ m.xorout) & mask;
}

// The check bytes the frame must end with.
std::string expected_check(lw::ChecksumKind kind, std::string_view data) {
  using K = lw::ChecksumKind;
  std::string out;
  uint8_t acc = 0;
  switch (kind) {
    case K::Sum:
    case K::Xor:
      for (const char ch : data) {
        const auto b = static_cast<uint8_t>(ch);
        acc = kind == K::Sum ? static_cast<uint8_t>(acc + b) : static_cast<uint8_t>(acc ^ b);
      }
      out += static_cast<char>(acc);
      break;
    case K::Crc8:
      out += static_cast<char>(model_crc({8, 0x07, 0, false, 0}, data));
      break;
    case K::Crc16Modbus: {
      const uint32_t c = model_crc({16, 0x8005, 0xFFFF, true, 0}, data);
      out += static_cast<char>(c & 0xFF);
      out += static_cast<char>(c >> 8);
      break;
    }
    case K::Crc16Ccitt: {
      const uint32_t c = model_crc({16, 0x1021, 0xFFFF, false, 0}, data);
      out += static_cast<char>(c >> 8);
      out += static_cast<char>(c & 0xFF);
      break;
    }
    case K::Crc32: {
      const uint32_t c = model_crc({32, 0x04C11DB7, 0xFFFFFFFF, true, 0xFFFFFFFF}, data);
      for (int i = 0; i < 4; ++i) out += static_cast<char>((c >> (8 * i)) & 0xFF);
      break;
    }
    case K::None:
      break;
  }
  return out;
}

std::string commas_only(std::string_view s) {
  std::string out(s);
  std::replace_if(
      out.begin(), out.end(), [](char c) { return c == ' ' || c == '\t'; }, ',');
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = lw::fuzz::as_text(data, size);
  std::string_view frame;
  if (const size_t cut = text.find('\xFF'); cut != std::string_view::npos) {
    frame = text.substr(cut + 1);
    text = text.substr(0, cut);
  }

  const lw::Result<FrameSpec> framing = lw::parse_frame_spec(text);
  LW_FUZZ_CHECK(same_outcome(framing, lw::parse_frame_spec(ascii_upper(text))));
  LW_FUZZ_CHECK(same_outcome(framing, lw::parse_frame_spec(commas_only(text))));
  if (!framing.ok()) {
    LW_FUZZ_CHECK(!framing.error().text.empty());
    return 0;
  }
  LW_FUZZ_CHECK(framing->length >= 2 && framing->length <= 4096);
  const std::string short_form = lw::frame_spec_text(*framing);
  const lw::Result<FrameSpec> again = lw::parse_frame_spec(short_form);
  LW_FUZZ_CHECK(again.ok() && *again == *framing);

  lw::LineRecord record;
  record.bytes = lw::Bytes(frame);
  const lw::FrameVerdict verdict = lw::frame_verdict(record, *framing);
  if (framing->checksum == lw::ChecksumKind::None) {
    LW_FUZZ_CHECK(verdict == lw::FrameVerdict::None);
    return 0;
  }
  // The check's size does not depend on what it covers.
  const size_t k = expected_check(framing->checksum, {}).size();
  LW_FUZZ_CHECK(framing->length > k);
  const bool good = frame.size() == framing->length &&
                    frame.substr(frame.size() - k) ==
                        expected_check(framing->checksum, frame.substr(0, frame.size() - k));
  LW_FUZZ_CHECK(verdict == (good ? lw::FrameVerdict::Good : lw::FrameVerdict::Bad));
  // Only received frames are judged.
  record.ending = lw::LineEnding::Lf;
  LW_FUZZ_CHECK(lw::frame_verdict(record, *framing) == lw::FrameVerdict::None);
  return 0;
}
