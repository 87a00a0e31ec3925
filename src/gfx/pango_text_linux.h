#pragma once
// Text for the cairo back end: the five pango font descriptions and a cache
// of laid-out lines.
#include <pango/pango.h>

#include <array>
#include <memory>
#include <string_view>

#include "gfx/gfx.h"
#include "gfx/gfx_cairo.h"
#include "gfx/layout_cache.h"

namespace lw {

// An owned reference to a PangoLayout.
class PangoLayoutRef {
 public:
  explicit PangoLayoutRef(PangoLayout* adopted) : p_(adopted) {}
  PangoLayoutRef(PangoLayoutRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  PangoLayoutRef& operator=(PangoLayoutRef&& o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~PangoLayoutRef();
  PangoLayout* get() const { return p_; }

 private:
  PangoLayout* p_;
};

class PangoText {
 public:
  PangoText(float scale, const FontFamilies& families);
  ~PangoText();
  PangoText(const PangoText&) = delete;
  PangoText& operator=(const PangoText&) = delete;

  float scale() const { return scale_; }
  void set_scale(float scale);

  // The line laid out in a box of max_width (at least 1): never wrapped,
  // ellipsized at the end. Owned by the cache; valid until the next call.
  PangoLayout* layout(std::string_view text, float max_width, TextFormat format, Align align);
  // Width and height of a layout in pixels.
  static float width(PangoLayout* l);
  static float height(PangoLayout* l);

 private:
  void make_fonts();

  float scale_;
  FontFamilies families_;
  PangoFontMap* font_map_ = nullptr;
  PangoContext* context_ = nullptr;
  std::array<PangoFontDescription*, 5> fonts_{};
  LayoutCache<PangoLayoutRef> cache_;
};

// A TextLayout over a pango layout (it keeps its own reference).
std::unique_ptr<TextLayout> make_pango_text_layout(PangoLayout* l);

}  // namespace lw
