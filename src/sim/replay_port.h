#pragma once
// A log file replayed as a device: its received lines come out of read()
// with their original spacing in time (1×, 10× or as fast as possible), so
// the reader loop and everything after it run as for a live device. What is
// written to it is taken and dropped. Used only by the reader thread that
// owns it, apart from the shared ReplayControl.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "session/port.h"
#include "sim/device.h"
#include "sim/replay_reader.h"

namespace lw {

enum class ReplaySpeed : uint8_t { Normal = 0, Ten = 1, Fastest = 2 };

// What a replay tab and its replay share: the speed the tab asks for, read
// by the replay before each line, and how far the replay got, read by the
// window. Nothing else passes between them.
struct ReplayControl {
  std::atomic<ReplaySpeed> speed{ReplaySpeed::Normal};
  std::atomic<uint64_t> lines{0};            // received lines handed out
  std::atomic<uint64_t> unreadable_line{0};  // where the file stopped being readable; 0: nowhere
  std::atomic<bool> finished{false};         // the last line is out (set after unreadable_line)
};

// Lines of a file without times come this far apart.
inline constexpr std::chrono::milliseconds kReplaySpacing{200};
// Stamps further apart than this are taken as this far: longer silences
// are not a device's but a broken or stitched-together file's.
inline constexpr std::chrono::hours kReplayLongestGap{24};
// A line without an end needs this much silence after it to stay a line of
// its own (the splitter closes one after 100 ms of silence).
inline constexpr std::chrono::milliseconds kReplayQuietGap{150};
// At most this many bytes per read, and the pace of a full batch: about a
// flood device's rate, a quarter of what the soak test runs.
inline constexpr size_t kReplayBatchBytes = 64 * 1024;
inline constexpr std::chrono::milliseconds kReplayBatchPause{15};

class ReplayPort final : public Port {
 public:
  ReplayPort(ReplaySource source, std::shared_ptr<ReplayControl> control,
             DeviceTiming timing = real_timing());

  // The lines that are due, as many as fit and the pace allows; 0 after
  // waiting up to a read timeout when none is.
  Result<size_t> read(std::span<uint8_t> buf) override;
  // Commands sent to a replay are logged by the tab and go nowhere.
  Status write_all(std::span<const uint8_t> bytes) override;
  Status configure(const PortSettings& settings) override;

 private:
  std::chrono::nanoseconds due_of(const ReplayLine& line) const;
  size_t take_pending(std::span<uint8_t> buf);
  void idle(std::chrono::nanoseconds wait);

  ReplayReader reader_;
  std::shared_ptr<ReplayControl> control_;
  DeviceTiming timing_;
  bool started_ = false;
  std::optional<ReplayLine> next_;
  bool first_ = true;                      // next_ is the file's first line
  std::optional<Millis> last_stamp_;       // of the line handed out last
  std::chrono::nanoseconds last_due_{};    // when that line was due
  std::chrono::nanoseconds last_out_{};    // when it went out
  bool quiet_after_ = false;               // it needs a silence before the next
  std::chrono::nanoseconds not_before_{};  // the pace of large batches
  std::vector<uint8_t> pending_;           // a line longer than the caller's buffer
  size_t pending_pos_ = 0;
};

// Opens a file for replay: Missing when there is no such file, Other when it
// is no file that can be read.
Result<std::unique_ptr<Port>, OpenError> open_replay(const std::filesystem::path& file,
                                                     std::shared_ptr<ReplayControl> control);

}  // namespace lw
