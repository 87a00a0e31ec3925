#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include "frame_canvas.h"
#include "gfx/gfx_recording.h"

namespace lw::script {

namespace {

// Direct2D needs a device and a target; without a window the frame is
// recorded instead, which still runs every layout and painting decision.
class RecordingCanvas final : public FrameCanvas {
 public:
  Gfx& gfx() override { return gfx_; }
  void frame_done() override { gfx_.clear(); }

 private:
  RecordingGfx gfx_;
};

}  // namespace

std::unique_ptr<FrameCanvas> make_frame_canvas(int, int) {
  return std::make_unique<RecordingCanvas>();
}

double resident_mib() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

double thread_cpu_ms() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  const auto ticks = [](const FILETIME& f) {
    return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;  // 100 ns units
}

}  // namespace lw::script
