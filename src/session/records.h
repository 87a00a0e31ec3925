#pragma once
// The records shared by the reader thread and the window: received, sent and
// marked lines, framing, serial settings and connection states.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/bytes.h"
#include "base/time.h"

namespace lw {

enum class Direction : uint8_t { Received = 0, Sent = 1, Mark = 2 };

enum class LineEnding : uint8_t { None = 0, Cr = 1, Lf = 2, CrLf = 3 };

// One line of a log: its bytes without the terminator (a mark's UTF-8 text),
// the time its first byte was read, and what closed it.
// The members stand so that they fill 24 bytes without a gap.
struct LineRecord {
  LineRecord() = default;
  LineRecord(Bytes b, Millis t, LineEnding e, Direction d)
      : bytes(std::move(b)), ending(e), direction(d), time(t) {}

  Bytes bytes;
  LineEnding ending = LineEnding::None;
  Direction direction = Direction::Received;
  Millis time = 0;
};
// 200,000 of them in each full log.
static_assert(sizeof(LineRecord) == 24);

// Sum and Xor are one byte; the CRCs take the frame's last one, two or four
// bytes (log/checksum.h).
enum class ChecksumKind : uint8_t {
  None = 0,
  Sum = 1,
  Xor = 2,
  Crc8 = 3,
  Crc16Modbus = 4,
  Crc16Ccitt = 5,
  Crc32 = 6,
};

// Cut received bytes into fixed-length frames instead of lines.
struct FrameSpec {
  uint32_t length = 8;  // 2..4096, start byte and check bytes included
  ChecksumKind checksum = ChecksumKind::None;
  std::optional<uint8_t> start;
  bool operator==(const FrameSpec&) const = default;
};

struct PortSettings {
  uint32_t baud = 9600;   // 50..12000000
  uint8_t data_bits = 8;  // 5..8
  uint8_t parity = 0;     // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t stop_bits = 0;  // 0 one, 1 one and a half, 2 two
  bool dtr = true;
  bool rts = true;
  bool operator==(const PortSettings&) const = default;
};

// Why an open failed. Denied exists where the system tells a missing
// permission apart from another program holding the port; NotSerial where a
// name the user typed can lead to something that is no serial device.
enum class OpenFailure : uint8_t { Busy = 0, Missing = 1, Other = 2, Denied = 3, NotSerial = 4 };

// The program seen holding a port, where the system shows it.
struct PortHolder {
  int64_t pid = 0;
  std::string program;  // its process name, such as minicom
  bool operator==(const PortHolder&) const = default;
};

// A failed open: the kind, and for Busy the holder when it could be seen.
struct OpenError {
  OpenFailure failure = OpenFailure::Other;
  std::optional<PortHolder> holder;

  OpenError(OpenFailure f = OpenFailure::Other, std::optional<PortHolder> h = std::nullopt)
      : failure(f), holder(std::move(h)) {}
  bool operator==(OpenFailure f) const { return failure == f; }
};

// Waiting: the port was let go for another program, or an open found it
// busy; the tab opens it again by itself once it is free.
enum class ConnectionKind : uint8_t {
  Open = 0,
  Closed = 1,
  Disconnected = 2,
  Failed = 3,
  Waiting = 4
};

struct ConnectionState {
  ConnectionKind kind = ConnectionKind::Closed;
  Millis disconnected_at = 0;                // Disconnected
  OpenFailure failure = OpenFailure::Other;  // Failed
  std::optional<PortHolder> holder;          // Failed with Busy, when seen
};

}  // namespace lw
