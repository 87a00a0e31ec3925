#pragma once
// Cuts the bytes read from a port into records, on the reader thread: at CR,
// LF or CR LF, at 4096 bytes, after more than 99 ms of silence, or into
// fixed-length frames when a FrameSpec is set.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "session/records.h"

namespace lw {

inline constexpr size_t kMaxLineBytes = 4096;
inline constexpr int64_t kIdleFlushAfterMs = 99;  // strictly more than this

class Splitter {
 public:
  explicit Splitter(std::optional<FrameSpec> framing = {});

  // One chunk read at wall time `time` (taken once for the chunk) and
  // monotonic time `mono`.
  void feed(std::span<const uint8_t> chunk, Millis time, int64_t mono,
            std::vector<LineRecord>& out);
  // A read returned nothing: emits the partial line or frame when more than
  // 99 ms have passed since the latest non-empty read.
  void idle(int64_t mono, std::vector<LineRecord>& out);
  // Closes the partial line or frame (a pending CR gives a line ending Cr).
  void close_partial(std::vector<LineRecord>& out);
  // Closes the partial state, then switches mode with an empty buffer.
  void set_framing(std::optional<FrameSpec> framing, std::vector<LineRecord>& out);

  const std::optional<FrameSpec>& framing() const { return framing_; }

 private:
  void feed_lines(std::span<const uint8_t> chunk, Millis time, std::vector<LineRecord>& out);
  void feed_frames(std::span<const uint8_t> chunk, Millis time, std::vector<LineRecord>& out);
  void emit(LineEnding ending, std::vector<LineRecord>& out);
  void emit_direct(std::span<const uint8_t> bytes, Millis time, LineEnding ending,
                   std::vector<LineRecord>& out);

  std::optional<FrameSpec> framing_;
  std::vector<uint8_t> buffer_;  // the current line or frame
  Millis start_time_ = 0;
  bool pending_cr_ = false;
  int64_t last_read_mono_ = 0;
};

}  // namespace lw
