#pragma once
// What a path names before it is opened as a serial port: a character
// device is worth opening; anything else is not a serial device, and a path
// that leads nowhere is Missing.
#include <optional>
#include <string>

#include "session/records.h"

namespace lw {

// None when the path names a character device (or can't be checked before
// the open tries it).
std::optional<OpenFailure> device_file_failure(const std::string& path);

}  // namespace lw
