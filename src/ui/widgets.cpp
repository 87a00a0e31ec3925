#include "ui/widgets.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lw {

namespace {
constexpr float kGap = 6;
}

float field_width_dips(std::string_view label) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(label.data(), label.data() + label.size(), value);
  if (ec != std::errc() || end != label.data() + label.size() || value == 0) return 200;
  return static_cast<float>(value);
}

float widget_width(const Widget& w, Gfx& gfx, float height) {
  const float s = gfx.scale();
  if (w.fixed_width > 0) return w.fixed_width;
  if (w.is_field()) return std::round(field_width_dips(w.label) * s);
  if (w.label.empty()) return height;
  const float label = gfx.measure_text(w.label, TextFormat::normal);
  float width = w.icon.empty() ? label : 18 * s + 6 * s + label;
  if (w.style == WidgetStyle::dropdown) width += 16 * s;
  if (w.style != WidgetStyle::readout) width += 24 * s;
  return std::ceil(width);
}

void layout_row(std::span<Widget> left, std::span<Widget> right, const RowPlacement& p, Gfx& gfx) {
  const float s = gfx.scale();
  const float h = std::round(p.height * s);
  const float top = std::round(p.row.y + (p.row.h - h) / 2);
  const float gap = kGap * s;

  float x_right = p.right;
  for (Widget& w : right) {
    const float width = widget_width(w, gfx, h);
    x_right -= width;
    w.rect = {std::round(x_right), top, width, h};
    x_right -= gap;
  }
  const float right_edge = right.empty() ? p.right : right.back().rect.x - gap;

  // Widths first, so an expanding widget knows what the others take.
  float fixed = 0;
  size_t expanding = 0;
  for (const Widget& w : left) {
    if (w.expand) {
      ++expanding;
    } else {
      fixed += widget_width(w, gfx, h);
    }
  }
  if (!left.empty()) fixed += gap * static_cast<float>(left.size() - 1);
  const float spare = std::max(10 * s, right_edge - p.left - fixed);
  const float each = expanding > 0 ? std::floor(spare / static_cast<float>(expanding)) : 0;

  float x = p.left;
  for (Widget& w : left) {
    const float width = w.expand ? each : widget_width(w, gfx, h);
    w.rect = {std::round(x), top, width, h};
    x += width + gap;
  }
}

}  // namespace lw
