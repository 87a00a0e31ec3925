#pragma once
// A file on its way to a port: the pieces written at a time and the Sent
// lines they leave in the log. The window thread takes a piece per timer
// tick, as much as the port has room for, so it never waits for a device.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/time.h"
#include "send/line_ending.h"
#include "session/records.h"

namespace lw {

// Larger files are not sent.
inline constexpr uint64_t kMaxSendFileBytes = 64ull << 20;

struct FileSendOptions {
  // Line by line, each line with `ending` instead of its own, `pause_ms`
  // apart; otherwise the file's bytes as they are.
  bool by_line = false;
  EndingChoice ending = kDefaultEnding;
  uint32_t pause_ms = 0;
};

// Bytes text never holds: NUL and the control characters other than TAB,
// LF, VT, FF, CR and ESC. Such a file goes as it is, logged as one mark.
bool looks_binary(std::span<const uint8_t> bytes);

struct FilePiece {
  Bytes bytes;                   // to write
  std::vector<LineRecord> sent;  // the Sent lines they hold (none for a binary file)
};

class FileSend {
 public:
  FileSend(std::vector<uint8_t> content, FileSendOptions options);

  bool binary() const { return binary_; }
  // Bytes written in all, and handed out so far.
  uint64_t total() const { return total_; }
  uint64_t queued() const { return queued_; }
  bool all_queued() const { return queued_ == total_; }

  // What may be written now, at most `room` bytes; a line longer than that
  // goes alone once nothing is in flight. None while the pause after a line
  // runs (`now_ms` monotonic) or when there is nothing left. Sent lines are
  // stamped `wall`.
  std::optional<FilePiece> take(uint64_t room, bool nothing_in_flight, int64_t now_ms, Millis wall);

 private:
  struct Line {
    size_t start = 0;
    size_t length = 0;  // without its end
    LineEnding ending = LineEnding::None;
  };
  size_t wire_length(const Line& line) const;

  std::vector<uint8_t> content_;
  FileSendOptions options_;
  bool binary_ = false;
  std::vector<Line> lines_;  // text files
  size_t next_line_ = 0;
  uint64_t total_ = 0;
  uint64_t queued_ = 0;
  int64_t pause_until_ = 0;
};

}  // namespace lw
