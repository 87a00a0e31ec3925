#pragma once
// The serial side of RFC 2217: the COM-PORT-OPTION sub-negotiations that set
// a device server's serial line from a tab's settings, and what the server's
// answers say it did not take. No I/O.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "session/records.h"

namespace lw {

namespace rfc2217 {
// Client commands; a server answers each with its code + 100.
inline constexpr uint8_t kSetBaudRate = 1;
inline constexpr uint8_t kSetDataSize = 2;
inline constexpr uint8_t kSetParity = 3;
inline constexpr uint8_t kSetStopSize = 4;
inline constexpr uint8_t kSetControl = 5;
inline constexpr uint8_t kNotifyLineState = 6;
inline constexpr uint8_t kNotifyModemState = 7;
inline constexpr uint8_t kPurgeData = 12;
inline constexpr uint8_t kAnswer = 100;

// SET-CONTROL values.
inline constexpr uint8_t kNoFlowControl = 1;
inline constexpr uint8_t kDtrOn = 8;
inline constexpr uint8_t kDtrOff = 9;
inline constexpr uint8_t kRtsOn = 11;
inline constexpr uint8_t kRtsOff = 12;
// PURGE-DATA: the server's receive and transmit buffers.
inline constexpr uint8_t kPurgeBoth = 3;
}  // namespace rfc2217

class ComPortSettings {
 public:
  // Appends the sub-negotiations that set every one of s: baud, data size,
  // parity, stop size, no flow control, DTR and RTS. They become what the
  // answers are compared with.
  void request(const PortSettings& s, std::vector<uint8_t>& out);
  // Appends the request to empty the server's buffers (what a previous user
  // left there).
  static void purge(std::vector<uint8_t>& out);
  // A COM-PORT-OPTION sub-negotiation from the server (its data, without
  // the option byte). Notifications of line and modem state are taken and
  // ignored, as is anything unknown or cut short.
  void answer(std::span<const uint8_t> data);
  // The settings the server answered with another value than asked, as
  // texts every language writes the same: "921600", "7E1", "DTR", "RTS".
  std::vector<std::string> refused() const;

 private:
  std::optional<PortSettings> asked_;
  bool baud_refused_ = false;
  bool frame_refused_[3] = {false, false, false};  // data size, parity, stop size
  bool dtr_refused_ = false;
  bool rts_refused_ = false;
};

// The RFC's code for a stop bits setting (1 one, 2 two, 3 one and a half)
// and for a parity (1 none to 5 space).
uint8_t rfc2217_stop_size(uint8_t stop_bits);
uint8_t rfc2217_parity(uint8_t parity);

}  // namespace lw
