#include "ui/readable.h"

#include <algorithm>
#include <cmath>

#include "ui/colours.h"
#include "ui/shapes.h"

namespace lw {

namespace {

float channel(float c) {
  return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float luminance(Color c) {
  return 0.2126f * channel(c.r) + 0.7152f * channel(c.g) + 0.0722f * channel(c.b);
}

Color mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1};
}

}  // namespace

float contrast_ratio(Color a, Color b) {
  const float la = luminance(a);
  const float lb = luminance(b);
  return (std::max(la, lb) + 0.05f) / (std::min(la, lb) + 0.05f);
}

Color readable(Color ink, Color backdrop, float ratio) {
  const Color back = over(backdrop, colours::white);
  const Color seen = over(ink, back);
  if (contrast_ratio(seen, back) >= ratio) return ink;
  // Away from the backdrop: darker over light, lighter over dark.
  const Color far = luminance(seen) < luminance(back) ? Color{0, 0, 0, 1} : colours::white;
  for (int step = 1; step <= 20; ++step) {
    const Color c = mix(seen, far, static_cast<float>(step) / 20);
    if (contrast_ratio(c, back) >= ratio) return c;
  }
  // Not reachable that way (a mid-grey backdrop): the other end.
  const Color other = far == colours::white ? Color{0, 0, 0, 1} : colours::white;
  return contrast_ratio(other, back) > contrast_ratio(far, back) ? other : far;
}

Color ink_on(Color fill) {
  const Color back = over(fill, colours::white);
  return contrast_ratio(colours::white, back) >= contrast_ratio(colours::on_accent_dark, back)
             ? colours::white
             : colours::on_accent_dark;
}

}  // namespace lw
