#include "ico_file.h"

#include <cstddef>

namespace lw {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// A BITMAPINFOHEADER with doubled height (colour rows, then the AND mask),
// rows bottom-up. The mask is all zero: the alpha channel does the work.
std::vector<uint8_t> dib(const IcoImage& image) {
  const auto n = static_cast<uint32_t>(image.size);
  const uint32_t mask_stride = (n + 31) / 32 * 4;
  std::vector<uint8_t> out;
  out.reserve(40 + n * n * 4 + mask_stride * n);
  put32(out, 40);
  put32(out, n);
  put32(out, n * 2);
  put16(out, 1);   // planes
  put16(out, 32);  // bits per pixel
  put32(out, 0);   // BI_RGB
  put32(out, n * n * 4 + mask_stride * n);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  const size_t row = static_cast<size_t>(n) * 4;
  for (size_t y = n; y-- > 0;) {
    const auto first = image.bgra.begin() + static_cast<std::ptrdiff_t>(y * row);
    out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(row));
  }
  out.resize(out.size() + static_cast<size_t>(mask_stride) * n, 0);
  return out;
}

}  // namespace

std::vector<uint8_t> pack_ico(std::span<const IcoImage> images) {
  std::vector<std::vector<uint8_t>> bodies;
  bodies.reserve(images.size());
  for (const IcoImage& image : images) bodies.push_back(image.size >= 256 ? image.png : dib(image));

  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 1);  // icon, not cursor
  put16(out, static_cast<uint32_t>(images.size()));
  auto offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const auto edge = static_cast<uint8_t>(images[i].size % 256);  // 0 means 256
    out.push_back(edge);
    out.push_back(edge);
    out.push_back(0);  // no palette
    out.push_back(0);
    put16(out, 1);
    put16(out, 32);
    put32(out, static_cast<uint32_t>(bodies[i].size()));
    put32(out, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace lw
