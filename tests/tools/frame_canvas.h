#pragma once
// Where the script driver paints whole frames while it measures: the
// platform's own back end when it can draw without a window, and the
// process's resident memory.
#include <memory>

#include "gfx/gfx.h"

namespace lw::script {

class FrameCanvas {
 public:
  virtual ~FrameCanvas() = default;
  virtual Gfx& gfx() = 0;
  // After paint_window: the frame is complete (pixels flushed).
  virtual void frame_done() = 0;
};

std::unique_ptr<FrameCanvas> make_frame_canvas(int width, int height);

// The resident set of this process in MiB; negative when unknown.
double resident_mib();

// Processor time the calling thread has used, in milliseconds: on a busy
// machine the wall clock also counts the time other threads ran.
double thread_cpu_ms();

}  // namespace lw::script
