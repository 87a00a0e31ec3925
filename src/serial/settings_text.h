#pragma once
// The two texts made from PortSettings (the frame summary such as 8N1 and the
// stored six-field form), reading the stored form back, and the baud presets.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session/records.h"

namespace lw {

inline constexpr uint32_t kMinBaud = 50;
inline constexpr uint32_t kMaxBaud = 12000000;

// The presets of the baud drop-down, in menu order.
inline constexpr std::array<uint32_t, 17> kBaudPresets = {
    300,   1200,  2400,   4800,   9600,   14400,  19200,  28800, 38400,
    57600, 74880, 115200, 230400, 250000, 460800, 500000, 921600};

// 9600 baud, 8N1, DTR and RTS on.
inline PortSettings default_port_settings() { return PortSettings{}; }

// "N", "O", "E", "M", "S" by parity; "1", "1.5", "2" by stop bits. Values out
// of range give "?" so a corrupt record still shows something.
std::string_view parity_letter(uint8_t parity);
std::string_view stop_bits_text(uint8_t stop_bits);

// Data bits, parity letter and stop bits with nothing between: 8N1, 7E1, 8N1.5.
std::string frame_summary(const PortSettings& s);

// baud,data,parity,stop,dtr,rts, for example 9600,8,N,1,1,1.
std::string format_port_settings(const PortSettings& s);

// The stored form read back; absent when any of the first four fields is
// malformed or out of range, or the field count is not six. DTR and RTS are
// on only for exactly "1".
std::optional<PortSettings> parse_port_settings(std::string_view text);

bool is_baud_preset(uint32_t baud);
bool baud_in_range(uint32_t baud);

// The last item of the presets menu: "Custom…", or "Custom… (74880)" when the
// tab's rate is none of the presets (the item is then the checked one).
std::string custom_baud_label(uint32_t tab_baud);

}  // namespace lw
