#pragma once
// Line settings through termios2 (any baud rate via BOTHER). Kept apart
// because the kernel's termios2 header can't share a file with <termios.h>.
#include <cstdint>
#include <optional>

#include "session/records.h"

namespace lw {

// The fields of a struct termios2 that the port sets, with the kernel's bits.
struct LineFlags {
  uint32_t iflag = 0;
  uint32_t oflag = 0;
  uint32_t cflag = 0;
  uint32_t lflag = 0;
  uint32_t ispeed = 0;
  uint32_t ospeed = 0;
  uint8_t vmin = 0;
  uint8_t vtime = 0;
};

// Raw mode, no flow control, receiver on, modem status ignored, and the
// settings' baud (BOTHER both ways), data bits, parity (mark and space
// through CMSPAR) and stop bits (1.5 is set as 2, the nearest a UART offers);
// reads never wait in the driver. Bits not named here keep their values.
LineFlags line_flags_for(LineFlags current, const PortSettings& settings);

// TCGETS2, line_flags_for, TCSETS2. Returns 0 or the errno of the failing call.
int apply_line_settings(int fd, const PortSettings& settings);

// The line as the kernel keeps it (a pseudo-terminal, for one, always
// reports 8 data bits without parity).
std::optional<LineFlags> read_line_flags(int fd);

}  // namespace lw
