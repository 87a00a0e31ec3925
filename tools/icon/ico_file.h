#pragma once
// Packs square images into a Windows icon file (.ico): small sizes as 32-bit
// bitmaps, which every consumer reads, 256 px as PNG, as Windows expects.
#include <cstdint>
#include <span>
#include <vector>

namespace lw {

struct IcoImage {
  int size = 0;
  // Straight (not premultiplied) alpha, B G R A bytes, rows top-down.
  std::vector<uint8_t> bgra;
  // The same image as a PNG file; used instead of bgra for 256 px.
  std::vector<uint8_t> png;
};

// Sizes must lie in 1..256; the images keep their order in the directory.
std::vector<uint8_t> pack_ico(std::span<const IcoImage> images);

}  // namespace lw
