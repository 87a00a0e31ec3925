#include "gfx/palette.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lw {
namespace {

struct Entry {
  const Palette* palette;
  Pal role;
  float r, g, b;
};

// Exact values the two palettes must have, to four decimals.
const Entry entries[] = {
    {&light_palette, Pal::background, 0.9490f, 0.9569f, 0.9686f},
    {&light_palette, Pal::top_bar, 1.0f, 1.0f, 1.0f},
    {&light_palette, Pal::port_panel, 0.9725f, 0.9765f, 0.9843f},
    {&light_palette, Pal::card, 1.0f, 1.0f, 1.0f},
    {&light_palette, Pal::text, 0.0863f, 0.0941f, 0.1137f},
    {&light_palette, Pal::muted, 0.4196f, 0.4471f, 0.5020f},
    {&light_palette, Pal::separator, 0.8902f, 0.9020f, 0.9176f},
    {&light_palette, Pal::accent, 0.0863f, 0.6392f, 0.2902f},
    {&light_palette, Pal::log, 1.0f, 1.0f, 1.0f},
    {&light_palette, Pal::match, 0.9922f, 0.9020f, 0.5412f},
    {&dark_palette, Pal::background, 0.0902f, 0.0941f, 0.1059f},
    {&dark_palette, Pal::top_bar, 0.1333f, 0.1373f, 0.1529f},
    {&dark_palette, Pal::port_panel, 0.1098f, 0.1137f, 0.1294f},
    {&dark_palette, Pal::card, 0.1216f, 0.1294f, 0.1451f},
    {&dark_palette, Pal::text, 0.9255f, 0.9294f, 0.9373f},
    {&dark_palette, Pal::muted, 0.6118f, 0.6275f, 0.6588f},
    {&dark_palette, Pal::separator, 0.2000f, 0.2078f, 0.2314f},
    {&dark_palette, Pal::accent, 0.2902f, 0.8706f, 0.5020f},
    {&dark_palette, Pal::log, 0.0784f, 0.0824f, 0.0941f},
    {&dark_palette, Pal::match, 0.5216f, 0.3020f, 0.0549f},
};

TEST(Palette, EntriesHaveTheirColours) {
  for (const Entry& e : entries) {
    const Color c = (*e.palette)[e.role];
    SCOPED_TRACE(testing::Message()
                 << (e.palette == &light_palette ? "light " : "dark ") << static_cast<int>(e.role));
    EXPECT_NEAR(c.r, e.r, 5e-5);
    EXPECT_NEAR(c.g, e.g, 5e-5);
    EXPECT_NEAR(c.b, e.b, 5e-5);
    EXPECT_EQ(c.a, 1.0f);
  }
}

TEST(Palette, WhiteIsExact) {
  EXPECT_EQ(light_palette[Pal::top_bar], (Color{1, 1, 1, 1}));
  EXPECT_EQ(light_palette[Pal::card], (Color{1, 1, 1, 1}));
  EXPECT_EQ(light_palette[Pal::log], (Color{1, 1, 1, 1}));
}

TEST(Palette, ChosenByTheme) {
  EXPECT_EQ(&palette_for(true), &dark_palette);
  EXPECT_EQ(&palette_for(false), &light_palette);
}

TEST(Colour, OpacityScalesAlphaOnly) {
  const Color c = rgb(0x16A34A).with_opacity(0.18f);
  EXPECT_EQ(c.r, rgb(0x16A34A).r);
  EXPECT_NEAR(c.a, 0.18f, 1e-7);
  EXPECT_NEAR(c.with_opacity(0.5f).a, 0.09f, 1e-7);
}

}  // namespace
}  // namespace lw
