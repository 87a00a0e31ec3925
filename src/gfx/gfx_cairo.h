#pragma once
// The cairo and pango back end (Linux). It draws on whatever cairo context
// it is given: the GtkDrawingArea's during a draw signal, or an image
// surface's in tests and benchmarks.
#include <memory>
#include <string>

#include "gfx/gfx.h"

typedef struct _cairo cairo_t;

namespace lw {

// Font families for the two faces. The defaults are fontconfig's aliases,
// which name the system's sans-serif UI face and its monospace face;
// fontconfig's fallback supplies glyphs they lack (Korean, Japanese, Chinese).
struct FontFamilies {
  std::string ui = "sans-serif";
  std::string mono = "monospace";
};

class CairoGfx : public Gfx {
 public:
  // The context the next frame is drawn on; the caller keeps it alive until
  // end_frame. Its user space must be device pixels: a host on a GDK surface
  // with a scale factor above 1 resets the device scale and passes that
  // factor in the scale instead, so nothing is scaled twice.
  virtual void set_target(cairo_t* cr) = 0;
  // Makes the text formats again at a new DPI / 96.
  virtual void set_scale(float scale) = 0;
};

std::unique_ptr<CairoGfx> create_cairo_gfx(float scale, const FontFamilies& families = {});

}  // namespace lw
