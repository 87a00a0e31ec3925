#pragma once
// The five text formats, indexed by TextFormat. Sizes are DIPs; each back
// end makes the fonts at size x scale.
#include <array>
#include <cstddef>

#include "gfx/gfx.h"

namespace lw {

// Which face a format uses: the UI face ("Segoe UI" on Windows, the system's
// sans-serif UI face on Linux) or the monospace one ("Consolas" / monospace).
enum class FontFace : uint8_t { ui, mono };

struct TextFormatSpec {
  FontFace face;
  int weight;  // 400 normal, 600 semibold
  float size;
};

inline constexpr std::array<TextFormatSpec, 5> text_format_specs{{
    {FontFace::ui, 400, 11.5f},    // small
    {FontFace::ui, 400, 13.0f},    // normal
    {FontFace::ui, 600, 13.0f},    // bold
    {FontFace::ui, 600, 20.0f},    // title
    {FontFace::mono, 400, 13.0f},  // mono
}};

constexpr const TextFormatSpec& format_spec(TextFormat f) {
  return text_format_specs[static_cast<size_t>(f)];
}

}  // namespace lw
