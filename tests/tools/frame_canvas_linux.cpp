#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "frame_canvas.h"
#include "gfx/gfx_cairo.h"

namespace lw::script {

namespace {

// An image surface: the same cairo and pango work as a window's frame,
// without a display.
class CairoCanvas final : public FrameCanvas {
 public:
  CairoCanvas(int width, int height)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
        cr_(cairo_create(surface_)),
        gfx_(create_cairo_gfx(1.0f)) {
    gfx_->set_target(cr_);
  }
  ~CairoCanvas() override {
    gfx_->set_target(nullptr);
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  Gfx& gfx() override { return *gfx_; }
  void frame_done() override { cairo_surface_flush(surface_); }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
  std::unique_ptr<CairoGfx> gfx_;
};

}  // namespace

std::unique_ptr<FrameCanvas> make_frame_canvas(int width, int height) {
  return std::make_unique<CairoCanvas>(width, height);
}

double resident_mib() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  double kib = -1;
  char line[256];
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, "VmRSS:", 6) == 0) {
      kib = std::strtod(line + 6, nullptr);
      break;
    }
  }
  std::fclose(f);
  return kib < 0 ? -1 : kib / 1024.0;
}

double thread_cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
}

}  // namespace lw::script
