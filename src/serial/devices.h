#pragma once
// Serial settings remembered per device, in the "Devices" subkey: one text
// value named by the device key and, for USB devices, one named by the model
// key (VID:PID), so another board of the same model starts with them too.
#include <string_view>

#include "session/records.h"
#include "settings/settings.h"

namespace lw {

// The device's own value, else its model's, else the defaults (9600 8N1,
// DTR and RTS on). A value that doesn't read counts as missing.
PortSettings load_device_settings(Settings& s, std::string_view device_key);
// Writes the device's value and, when the key has one, its model's value.
void save_device_settings(Settings& s, std::string_view device_key, const PortSettings& port);

}  // namespace lw
