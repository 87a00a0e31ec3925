#pragma once
// Real serial ports. The platform file (serial_win32.cpp, serial_posix.cpp)
// opens and configures the device and hands back a Port that owns its handle.
#include <memory>
#include <string>

#include "base/result.h"
#include "serial/port_locks.h"
#include "session/port.h"

namespace lw {

// Opens the port of that name (COM3 on Windows; ttyUSB0 on Linux, opened as
// /dev/ttyUSB0, or a full path when the name starts with "/"), discards what
// the driver had queued and applies the settings. A configuration the driver
// refuses is reported as Other.
Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                   const PortSettings& settings);
// The same with the lock folders given (on Linux; Windows has none). A port
// another program holds is Busy, with that program when it can be seen.
Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                   const PortSettings& settings,
                                                   const LockPlaces& places);

// Writes that make no progress for this long give up with "write timed out".
inline constexpr int kWriteTimeoutMs = 1000;
inline constexpr const char* kWriteTimedOut = "write timed out";

}  // namespace lw
