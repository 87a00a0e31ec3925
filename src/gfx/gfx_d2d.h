#pragma once
// The Direct3D 11 / Direct2D / DirectWrite back end (Windows), bound to one
// window. No Windows types here: the window is passed as its HWND value.
#include <cstdint>
#include <memory>
#include <vector>

#include "base/result.h"
#include "gfx/gfx.h"

namespace lw {

// How the last end_frame went.
enum class FrameOutcome : uint8_t {
  presented,
  rebuilt,         // the target or the device was lost; the context was made again
  rebuild_failed,  // lost, and making it again failed: the old one is kept
};

// A copy of a drawn frame: width x height pixels, 0xAARRGGBB, rows top-down.
struct FrameImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> pixels;
};

class D2dGfx : public Gfx {
 public:
  // The window's client area changed size; 0 x 0 still gets 1 x 1 buffers.
  virtual Status resize(uint32_t width, uint32_t height) = 0;
  // The window's DPI changed: the text formats are made again at DPI / 96.
  virtual Status set_dpi(uint32_t dpi) = 0;
  virtual FrameOutcome last_frame() const = 0;
  // While on, each end_frame copies the finished frame before presenting it
  // (for screenshot tests); last_capture holds the newest copy.
  virtual void capture_frames(bool on) = 0;
  virtual const FrameImage& last_capture() const = 0;
};

// Builds the whole context for the window (an HWND) at its DPI. The error's
// code is the HRESULT of the call that failed; its text names the call.
Result<std::unique_ptr<D2dGfx>> create_d2d_gfx(void* window, uint32_t dpi);

// Sets the window's title bar to match the palette (DWMWA_USE_IMMERSIVE_DARK_MODE).
void set_dark_title_bar(void* window, bool dark);

}  // namespace lw
