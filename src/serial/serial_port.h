#pragma once
// Real serial ports. The platform file (serial_win32.cpp, serial_posix.cpp)
// opens and configures the device and hands back a Port that owns its handle.
#include <memory>
#include <optional>
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

// The same for a tab that waited while another program had the port: what
// the device sent since that program let go stays to be read.
Result<std::unique_ptr<Port>, OpenError> reopen_port(const std::string& name,
                                                     const PortSettings& settings,
                                                     const LockPlaces& places);

// Whether another program holds the port, seen without taking it where the
// system allows (Linux: its locks and open files; last: the holder seen
// before, looked at first), else by an open that is closed again at once
// and changes nothing on the line (Windows).
PortLook look_at_port(const std::string& name, const LockPlaces& places,
                      const std::optional<PortHolder>& last);

// Writes that make no progress for this long give up with "write timed out".
inline constexpr int kWriteTimeoutMs = 1000;
inline constexpr const char* kWriteTimedOut = "write timed out";

}  // namespace lw
