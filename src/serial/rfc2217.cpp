#include "serial/rfc2217.h"

#include "serial/settings_text.h"
#include "serial/telnet.h"

namespace lw {

using namespace rfc2217;

uint8_t rfc2217_stop_size(uint8_t stop_bits) {
  switch (stop_bits) {
    case 1:
      return 3;
    case 2:
      return 2;
    default:
      return 1;
  }
}

uint8_t rfc2217_parity(uint8_t parity) { return static_cast<uint8_t>(parity + 1); }

namespace {

void command(uint8_t code, std::span<const uint8_t> value, std::vector<uint8_t>& out) {
  std::vector<uint8_t> data{code};
  data.insert(data.end(), value.begin(), value.end());
  TelnetCodec::subnegotiation(telnet::kComPort, data, out);
}

void command(uint8_t code, uint8_t value, std::vector<uint8_t>& out) {
  command(code, std::span<const uint8_t>(&value, 1), out);
}

}  // namespace

void ComPortSettings::request(const PortSettings& s, std::vector<uint8_t>& out) {
  const uint8_t baud[4] = {static_cast<uint8_t>(s.baud >> 24), static_cast<uint8_t>(s.baud >> 16),
                           static_cast<uint8_t>(s.baud >> 8), static_cast<uint8_t>(s.baud)};
  command(kSetBaudRate, baud, out);
  command(kSetDataSize, s.data_bits, out);
  command(kSetParity, rfc2217_parity(s.parity), out);
  command(kSetStopSize, rfc2217_stop_size(s.stop_bits), out);
  command(kSetControl, kNoFlowControl, out);
  command(kSetControl, s.dtr ? kDtrOn : kDtrOff, out);
  command(kSetControl, s.rts ? kRtsOn : kRtsOff, out);
  asked_ = s;
  // A setting the new request does not answer for keeps no old refusal.
  baud_refused_ = false;
  frame_refused_[0] = frame_refused_[1] = frame_refused_[2] = false;
  dtr_refused_ = rts_refused_ = false;
}

void ComPortSettings::purge(std::vector<uint8_t>& out) { command(kPurgeData, kPurgeBoth, out); }

void ComPortSettings::answer(std::span<const uint8_t> data) {
  if (data.size() < 2 || !asked_) return;
  const PortSettings& a = *asked_;
  const uint8_t value = data[1];
  switch (data[0]) {
    case kAnswer + kSetBaudRate:
      if (data.size() == 5) {
        const uint32_t baud = (uint32_t{data[1]} << 24) | (uint32_t{data[2]} << 16) |
                              (uint32_t{data[3]} << 8) | uint32_t{data[4]};
        baud_refused_ = baud != a.baud;
      }
      break;
    case kAnswer + kSetDataSize:
      frame_refused_[0] = value != a.data_bits;
      break;
    case kAnswer + kSetParity:
      frame_refused_[1] = value != rfc2217_parity(a.parity);
      break;
    case kAnswer + kSetStopSize:
      frame_refused_[2] = value != rfc2217_stop_size(a.stop_bits);
      break;
    case kAnswer + kSetControl:
      // Only the answers about DTR and RTS are compared; flow control is
      // not the tab's to choose.
      if (value == kDtrOn || value == kDtrOff) dtr_refused_ = (value == kDtrOn) != a.dtr;
      if (value == kRtsOn || value == kRtsOff) rts_refused_ = (value == kRtsOn) != a.rts;
      break;
    default:
      break;
  }
}

std::vector<std::string> ComPortSettings::refused() const {
  std::vector<std::string> out;
  if (!asked_) return out;
  if (baud_refused_) out.push_back(std::to_string(asked_->baud));
  if (frame_refused_[0] || frame_refused_[1] || frame_refused_[2])
    out.push_back(frame_summary(*asked_));
  if (dtr_refused_) out.push_back("DTR");
  if (rts_refused_) out.push_back("RTS");
  return out;
}

}  // namespace lw
