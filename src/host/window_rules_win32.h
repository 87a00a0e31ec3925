#pragma once
// The window's sizing and filtering rules, as plain functions of numbers so
// they can be checked without a window.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lw {

inline constexpr int32_t kWindowWidth = 1180;  // at creation, before placement
inline constexpr int32_t kWindowHeight = 760;
inline constexpr int32_t kDefaultWidthDip = 1180;
inline constexpr int32_t kDefaultHeightPercent = 82;  // of the work area
inline constexpr int32_t kMinWidthDip = 900;
inline constexpr int32_t kMinHeightDip = 560;

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  constexpr int32_t width() const { return right - left; }
  constexpr int32_t height() const { return bottom - top; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
  friend constexpr bool operator==(const PixelSize&, const PixelSize&) = default;
};

// A DPI the system could not tell (0) or one below 96 counts as 96.
uint32_t effective_dpi(uint32_t dpi);
// DIPs to pixels at the DPI, rounded to the nearest pixel.
int32_t dips_to_pixels(int32_t dips, uint32_t dpi);

// Without a stored placement: 1180 DIPs wide but no wider than the work
// area, 82 % of the work area high, centred in it.
PixelRect centred_window_rect(const PixelRect& work_area, uint32_t dpi);
// The smallest window the user can drag it to: 900 x 560 DIPs.
PixelSize min_window_size(uint32_t dpi);

// The device-change events that can mean a port came or went: device nodes
// changed, device arrived, device removed.
bool is_port_device_change(uintptr_t event);

// Application message numbers from the platform's first application
// message (WM_APP + 1 is number 1); nullopt for any other message.
std::optional<int> app_message_number(uint32_t window_message);
uint32_t window_message_for(int number);

// A stored "Placement" (one WINDOWPLACEMENT) made ready to apply to the
// still hidden window: its show command is replaced by "hide", so the
// window appears only when start-up shows it, maximised when it was stored
// maximised.
struct StoredPlacement {
  std::array<uint8_t, 44> bytes{};
  bool maximised = false;
};
std::optional<StoredPlacement> usable_placement(const std::optional<std::vector<uint8_t>>& value);

}  // namespace lw
