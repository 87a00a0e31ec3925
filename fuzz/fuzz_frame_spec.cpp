// The framing dialog's text. A framing that reads has a length of 2..4096 and
// its short form reads back to it; letter case and the choice between the
// three separators never change the outcome. The verdict of a frame under a
// framing that reads is good exactly when its last byte is the checksum.
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
  bool good = !frame.empty() && frame.size() == framing->length;
  if (good) {
    uint8_t acc = 0;
    for (size_t i = 0; i + 1 < frame.size(); ++i) {
      const auto b = static_cast<uint8_t>(frame[i]);
      acc = framing->checksum == lw::ChecksumKind::Sum ? static_cast<uint8_t>(acc + b)
                                                       : static_cast<uint8_t>(acc ^ b);
    }
    good = acc == static_cast<uint8_t>(frame.back());
  }
  LW_FUZZ_CHECK(verdict == (good ? lw::FrameVerdict::Good : lw::FrameVerdict::Bad));
  // Only received frames are judged.
  record.ending = lw::LineEnding::Lf;
  LW_FUZZ_CHECK(lw::frame_verdict(record, *framing) == lw::FrameVerdict::None);
  return 0;
}
