#pragma once
// What a soak run of the script driver measures: how long the window
// thread spends on each drain and on each whole frame, the resident memory,
// and whether a flood device's numbered lines all reached its recording.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/app.h"
#include "frame_canvas.h"
#include "host/host_headless.h"

namespace lw::script {

class Measure {
 public:
  // Times every drain from now on.
  void start(HeadlessHost& host);
  bool running() const { return canvas_ != nullptr; }
  // Paints a frame when one was asked for since the last, at most one per
  // frame period, as a window would.
  void frame_if_due(App& app, int repaints_asked);
  // soak_drain_ms_p99, soak_paint_ms_p99, soak_frames, soak_rss_mb...
  void print(std::ostream& out) const;

 private:
  std::unique_ptr<FrameCanvas> canvas_;
  std::vector<double> drain_ms_;
  std::vector<double> paint_ms_;
  std::vector<double> paint_cpu_ms_;
  int repaints_seen_ = 0;
  std::chrono::steady_clock::time_point last_frame_{};
  double peak_rss_mib_ = 0;
};

// A flood device numbers its lines from 1 ("00000001 adc0=..."). Reads the
// session's recording files in order and counts, for the lines numbered
// first..last, how many are missing, and how many appear twice or out of
// order; `bad` counts files without exactly one leading byte-order mark or
// with a line not ended by CR LF.
struct SequenceCheck {
  uint64_t found = 0;
  uint64_t lost = 0;
  uint64_t disorder = 0;
  uint64_t bad = 0;
};
SequenceCheck check_sequence(const std::filesystem::path& folder, const Session& s, uint64_t first,
                             uint64_t last);

}  // namespace lw::script
