#include "gfx/pango_text_linux.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "base/utf8.h"
#include "gfx/text_formats.h"

namespace lw {
namespace {

// Enough for every distinct text of a few full frames: log rows with their
// times, bar labels, graph labels.
constexpr size_t cache_capacity = 1024;

int pango_units(float px) {
  return static_cast<int>(std::clamp(px, 1.0f, 2.0e6f) * static_cast<float>(PANGO_SCALE));
}

PangoAlignment pango_alignment(Align a) {
  switch (a) {
    case Align::centre:
      return PANGO_ALIGN_CENTER;
    case Align::trailing:
      return PANGO_ALIGN_RIGHT;
    case Align::leading:
      break;
  }
  return PANGO_ALIGN_LEFT;
}

class PangoTextLayout final : public TextLayout {
 public:
  explicit PangoTextLayout(PangoLayout* l) : layout_(PANGO_LAYOUT(g_object_ref(l))) {}

  float width() const override { return PangoText::width(layout_.get()); }
  float height() const override { return PangoText::height(layout_.get()); }

  float caret_x(size_t index) const override {
    PangoRectangle strong;
    pango_layout_get_cursor_pos(layout_.get(), byte_index(index), &strong, nullptr);
    return static_cast<float>(strong.x) / PANGO_SCALE;
  }

  size_t index_at(float x) const override {
    int index = 0, trailing = 0;
    const int y = pango_units(height() / 2);
    pango_layout_xy_to_index(layout_.get(), static_cast<int>(x * PANGO_SCALE), y, &index,
                             &trailing);
    const char* text = pango_layout_get_text(layout_.get());
    const char* p = text + index;
    for (; trailing > 0 && *p != '\0'; --trailing) p = g_utf8_next_char(p);
    return static_cast<size_t>(g_utf8_pointer_to_offset(text, p));
  }

 private:
  int byte_index(size_t chars) const {
    const char* text = pango_layout_get_text(layout_.get());
    const char* p = text;
    for (; chars > 0 && *p != '\0'; --chars) p = g_utf8_next_char(p);
    return static_cast<int>(p - text);
  }

  PangoLayoutRef layout_;
};

}  // namespace

PangoLayoutRef::~PangoLayoutRef() {
  if (p_ != nullptr) g_object_unref(p_);
}

PangoText::PangoText(float scale, const FontFamilies& families)
    : scale_(scale), families_(families), cache_(cache_capacity) {
  font_map_ = pango_cairo_font_map_new();
  context_ = pango_font_map_create_context(font_map_);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  // Unhinted metrics: a text measures the same wherever it is drawn.
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context_, options);
  cairo_font_options_destroy(options);
  make_fonts();
}

PangoText::~PangoText() {
  cache_.clear();
  for (PangoFontDescription* f : fonts_) pango_font_description_free(f);
  g_object_unref(context_);
  g_object_unref(font_map_);
}

void PangoText::set_scale(float scale) {
  scale_ = scale;
  cache_.clear();
  make_fonts();
}

void PangoText::make_fonts() {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const TextFormatSpec& format = text_format_specs[i];
    if (fonts_[i] != nullptr) pango_font_description_free(fonts_[i]);
    PangoFontDescription* f = pango_font_description_new();
    pango_font_description_set_family(
        f, (format.face == FontFace::mono ? families_.mono : families_.ui).c_str());
    pango_font_description_set_weight(f, static_cast<PangoWeight>(format.weight));
    pango_font_description_set_style(f, PANGO_STYLE_NORMAL);
    pango_font_description_set_stretch(f, PANGO_STRETCH_NORMAL);
    pango_font_description_set_absolute_size(
        f, static_cast<double>(format.size * scale_) * PANGO_SCALE);
    fonts_[i] = f;
  }
}

PangoLayout* PangoText::layout(std::string_view text, float max_width, TextFormat format,
                               Align align) {
  max_width = std::max(max_width, 1.0f);
  if (PangoLayoutRef* hit = cache_.find(text, max_width, format, align)) return hit->get();
  PangoLayout* l = pango_layout_new(context_);
  pango_layout_set_font_description(l, fonts_[static_cast<size_t>(format)]);
  pango_layout_set_single_paragraph_mode(l, TRUE);
  pango_layout_set_width(l, pango_units(max_width));
  pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_END);
  pango_layout_set_alignment(l, pango_alignment(align));
  if (is_valid_utf8(text)) {
    pango_layout_set_text(l, text.data(), static_cast<int>(text.size()));
  } else {
    const std::string clean = utf8_sanitize(text);
    pango_layout_set_text(l, clean.data(), static_cast<int>(clean.size()));
  }
  return cache_.insert(PangoLayoutRef(l)).get();
}

float PangoText::width(PangoLayout* l) {
  PangoRectangle logical;
  pango_layout_get_extents(l, nullptr, &logical);
  return static_cast<float>(logical.width) / PANGO_SCALE;
}

float PangoText::height(PangoLayout* l) {
  PangoRectangle logical;
  pango_layout_get_extents(l, nullptr, &logical);
  return static_cast<float>(logical.height) / PANGO_SCALE;
}

std::unique_ptr<TextLayout> make_pango_text_layout(PangoLayout* l) {
  return std::make_unique<PangoTextLayout>(l);
}

}  // namespace lw
