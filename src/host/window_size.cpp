#include "host/window_size.h"

#include <algorithm>

#include "settings/values.h"

namespace lw {
namespace {

constexpr uint32_t kMagic = 0x5357574C;  // "LWWS" read as little-endian
constexpr uint32_t kVersion = 1;

void put(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get(std::span<const uint8_t> in, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in[at + i]) << (8 * i);
  return v;
}

uint32_t side(int v) { return static_cast<uint32_t>(std::clamp(v, 1, kMaxWindowSide)); }

bool valid_side(uint32_t v) { return v >= 1 && v <= static_cast<uint32_t>(kMaxWindowSide); }

}  // namespace

std::vector<uint8_t> encode_window_size(const WindowSize& size) {
  std::vector<uint8_t> out(kPlacementSize, 0);
  put(out, 0, kMagic);
  put(out, 4, kVersion);
  put(out, 8, side(size.width));
  put(out, 12, side(size.height));
  put(out, 16, size.maximised ? 1u : 0u);
  return out;
}

std::optional<WindowSize> decode_window_size(std::span<const uint8_t> bytes) {
  if (bytes.size() != kPlacementSize) return std::nullopt;
  if (get(bytes, 0) != kMagic || get(bytes, 4) != kVersion) return std::nullopt;
  const uint32_t w = get(bytes, 8);
  const uint32_t h = get(bytes, 12);
  const uint32_t flags = get(bytes, 16);
  if (!valid_side(w) || !valid_side(h) || flags > 1) return std::nullopt;
  return WindowSize{static_cast<int>(w), static_cast<int>(h), flags == 1};
}

}  // namespace lw
