#pragma once
// Colours the painter uses beside the two palettes.
#include <array>
#include <cstddef>

#include "gfx/gfx.h"

namespace lw::colours {

inline constexpr Color red = rgb(0xDC2626);        // lost, failures, bad checksum
inline constexpr Color alert_row = rgb(0xEA580C);  // behind a line that fired an alert
inline constexpr Color waiting = rgb(0xD97706);    // a port lent to another program
inline constexpr Color white{1, 1, 1, 1};
inline constexpr Color readout_box{0.0667f, 0.0706f, 0.0784f, 1};  // graph hover readout
inline constexpr Color on_accent_dark = rgb(0x052E16);             // dark text on the light greens

// Graph series, by series index, repeating after eight.
inline constexpr std::array<Color, 8> series = {
    rgb(0x2563EB), rgb(0xDC2626), rgb(0x16A34A), rgb(0xD97706),
    rgb(0x9333EA), rgb(0x0891B2), rgb(0xDB2777), rgb(0x65A30D),
};
constexpr Color series_colour(size_t index) { return series[index % series.size()]; }

}  // namespace lw::colours
