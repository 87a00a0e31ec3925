#pragma once
// The two colour palettes. The painter picks one from the system's dark or
// light setting; entries are addressed by role.
#include <array>
#include <cstddef>

#include "gfx/gfx.h"

namespace lw {

enum class Pal : uint8_t {
  background = 0,  // the whole frame is cleared to it
  top_bar = 1,
  port_panel = 2,
  card = 3,  // rounded panels over the log, dialogs
  text = 4,
  muted = 5,      // hints, empty states, secondary labels
  separator = 6,  // lines and borders
  accent = 7,     // green: connected, primary actions
  log = 8,
  match = 9,  // search highlight (amber)
};

struct Palette {
  std::array<Color, 10> colours;
  constexpr Color operator[](Pal p) const { return colours[static_cast<size_t>(p)]; }
};

inline constexpr Palette light_palette{{
    rgb(0xF2F4F7),
    rgb(0xFFFFFF),
    rgb(0xF8F9FB),
    rgb(0xFFFFFF),
    rgb(0x16181D),
    rgb(0x6B7280),
    rgb(0xE3E6EA),
    rgb(0x16A34A),
    rgb(0xFFFFFF),
    rgb(0xFDE68A),
}};

inline constexpr Palette dark_palette{{
    rgb(0x17181B),
    rgb(0x222327),
    rgb(0x1C1D21),
    rgb(0x1F2125),
    rgb(0xECEDEF),
    rgb(0x9CA0A8),
    rgb(0x33353B),
    rgb(0x4ADE80),
    rgb(0x141518),
    rgb(0x854D0E),
}};

constexpr const Palette& palette_for(bool dark) { return dark ? dark_palette : light_palette; }

}  // namespace lw
