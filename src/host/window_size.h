#pragma once
// The main window's size as the Linux program keeps it in "Placement". The
// value keeps the 44-byte length the store expects of it on every system;
// only the first 20 bytes are used (each field a little-endian uint32):
//
//   0   "LWWS"          marks this layout (a Windows WINDOWPLACEMENT, which
//                        starts with its own length 44, never matches)
//   4   1               layout version
//   8   width           the window's normal (not maximised) size in GTK's
//   12  height           logical pixels, 1 to 32767 each
//   16  flags           bit 0: maximised; no other bit is set
//   20  24 bytes of 0   reserved
//
// A value that does not follow this is ignored and the window starts at its
// default size.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lw {

struct WindowSize {
  int width = 0;
  int height = 0;
  bool maximised = false;
  friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

inline constexpr int kMaxWindowSide = 32767;

// Sizes outside 1..kMaxWindowSide are clamped into it.
std::vector<uint8_t> encode_window_size(const WindowSize& size);
std::optional<WindowSize> decode_window_size(std::span<const uint8_t> bytes);

}  // namespace lw
