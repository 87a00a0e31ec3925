#pragma once
// A simulated serial device: what a reader thread reads and writes in demo
// mode instead of a real port. Used only by the reader thread that owns it.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "session/port.h"

namespace lw {

// Where the device gets its time from: a monotonic clock and a way to wait.
// Tests pass a fake pair so that a run needs no real sleeps.
struct DeviceTiming {
  std::function<std::chrono::nanoseconds()> now;
  std::function<void(std::chrono::nanoseconds)> sleep;
};

// The steady clock and std::this_thread::sleep_for.
DeviceTiming real_timing();

inline constexpr std::chrono::milliseconds kSimTickPeriod{200};
inline constexpr std::chrono::milliseconds kFloodPause{15};
inline constexpr size_t kFloodBatchBytes = 16384;
inline constexpr uint32_t kPromptEvery = 25;
inline constexpr uint32_t kXorshiftSeed = 7;

// Error texts of an unplugged device, worded like the system's own messages
// for a vanished adapter; never shown, only their presence matters.
inline constexpr std::string_view kSimUnpluggedReadError =
    "The device does not recognize the command.";
inline constexpr std::string_view kSimUnpluggedWriteError = "gone";

// The 32-bit xorshift (13, 17, 5): advances x and returns the new value.
uint32_t xorshift32(uint32_t& x);

// The name, lower-cased, contains "flood".
bool is_flood_name(std::string_view name);

class SimulatedDevice final : public Port {
 public:
  SimulatedDevice(std::string_view name, std::shared_ptr<std::atomic<bool>> present,
                  DeviceTiming timing = real_timing());

  Result<size_t> read(std::span<uint8_t> buf) override;
  // Replies "OK " + the trimmed text + CR LF, before any periodic output.
  Status write_all(std::span<const uint8_t> bytes) override;
  // Baud rate, framing, DTR and RTS mean nothing here.
  Status configure(const PortSettings& settings) override;

  uint32_t ticks() const { return ticks_; }

 private:
  size_t take_pending(std::span<uint8_t> buf);
  void produce_tick();
  void produce_flood();

  std::shared_ptr<std::atomic<bool>> present_;
  DeviceTiming timing_;
  bool flood_ = false;
  std::chrono::nanoseconds started_{};
  std::chrono::nanoseconds next_due_{};  // since started
  uint32_t ticks_ = 0;
  uint32_t rng_ = kXorshiftSeed;
  std::vector<uint8_t> pending_;
  size_t pending_pos_ = 0;  // bytes of pending_ already read
};

}  // namespace lw
