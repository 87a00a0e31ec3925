#pragma once
// What a device instance ID (USB\VID_2341&PID_0043\5573932393735151F0C1)
// tells about a port, and the cleanup of the description the system gives.
#include <optional>
#include <string>
#include <string_view>

#include "ports/port_info.h"

namespace lw {

// From the four hex digits after the first "VID_" and the first "PID_" (any
// letter case); absent unless both parse.
std::optional<UsbId> usb_id_from_instance_id(std::string_view id);

// USB\VID_x&PID_y\SERIAL, unless the device is one interface of a composite
// device (&MI_) or the system made the number up (it contains "&");
// FTDIBUS\VID_x+PID_y+SERIAL\0000. Never empty when present.
std::optional<std::string> serial_from_instance_id(std::string_view id);

// Trimmed, and without a trailing "(COM5)" naming the port itself:
// "USB-SERIAL CH340 (COM5)" becomes "USB-SERIAL CH340".
std::string clean_description(std::string_view text, std::string_view port_name);

}  // namespace lw
