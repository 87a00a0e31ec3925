// The stored six-field form of a port's settings ("9600,8,N,1,1,1"). What
// reads is in range, and written out again reads back to itself; any valid
// settings written out read back unchanged.
//
// Input: the stored text; its first bytes also pick a set of valid settings.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "serial/settings_text.h"

namespace {

void check_valid(const lw::PortSettings& s) {
  LW_FUZZ_CHECK(lw::baud_in_range(s.baud));
  LW_FUZZ_CHECK(s.data_bits >= 5 && s.data_bits <= 8);
  LW_FUZZ_CHECK(s.parity <= 4 && s.stop_bits <= 2);
  LW_FUZZ_CHECK(lw::frame_summary(s).find('?') == std::string::npos);
}

void check_round_trip(const lw::PortSettings& s) {
  const std::string text = lw::format_port_settings(s);
  const std::optional<lw::PortSettings> back = lw::parse_port_settings(text);
  LW_FUZZ_CHECK(back && *back == s);
  LW_FUZZ_CHECK(lw::format_port_settings(*back) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = lw::fuzz::as_text(data, size);
  if (const std::optional<lw::PortSettings> s = lw::parse_port_settings(text)) {
    check_valid(*s);
    check_round_trip(*s);
  }

  lw::fuzz::FuzzInput in(data, size);
  lw::PortSettings made;
  const uint32_t wide = static_cast<uint32_t>(in.u16()) << 16 | in.u16();
  made.baud = lw::kMinBaud + wide % (lw::kMaxBaud - lw::kMinBaud + 1);
  const uint8_t shape = in.byte();
  made.data_bits = static_cast<uint8_t>(5 + shape % 4);
  made.parity = static_cast<uint8_t>(shape / 4 % 5);
  made.stop_bits = static_cast<uint8_t>(shape / 20 % 3);
  made.dtr = (shape & 0x40) != 0;
  made.rts = (shape & 0x80) != 0;
  check_valid(made);
  check_round_trip(made);
  return 0;
}
