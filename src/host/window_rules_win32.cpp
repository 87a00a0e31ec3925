#include "host/window_rules_win32.h"

#include <windows.h>
// dbt.h needs windows.h first.
#include <dbt.h>

#include <algorithm>
#include <cstring>

namespace lw {

static_assert(sizeof(WINDOWPLACEMENT) == std::tuple_size_v<decltype(StoredPlacement::bytes)>);

namespace {
// Offsets inside WINDOWPLACEMENT: length, flags, showCmd, ...
constexpr size_t kLengthOffset = 0;
constexpr size_t kShowCmdOffset = 8;

uint32_t read_u32(const uint8_t* p) {
  uint32_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}
void write_u32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }
}  // namespace

uint32_t effective_dpi(uint32_t dpi) { return std::max<uint32_t>(dpi, USER_DEFAULT_SCREEN_DPI); }

int32_t dips_to_pixels(int32_t dips, uint32_t dpi) {
  const int64_t d = effective_dpi(dpi);
  return static_cast<int32_t>((int64_t{dips} * d + 48) / 96);
}

PixelRect centred_window_rect(const PixelRect& work, uint32_t dpi) {
  const int32_t width = std::min(dips_to_pixels(kDefaultWidthDip, dpi), work.width());
  const int32_t height = static_cast<int32_t>(int64_t{work.height()} * kDefaultHeightPercent / 100);
  const int32_t left = work.left + (work.width() - width) / 2;
  const int32_t top = work.top + (work.height() - height) / 2;
  return {left, top, left + width, top + height};
}

PixelSize min_window_size(uint32_t dpi) {
  return {dips_to_pixels(kMinWidthDip, dpi), dips_to_pixels(kMinHeightDip, dpi)};
}

bool is_port_device_change(uintptr_t event) {
  return event == DBT_DEVNODES_CHANGED || event == DBT_DEVICEARRIVAL ||
         event == DBT_DEVICEREMOVECOMPLETE;
}

std::optional<int> app_message_number(uint32_t window_message) {
  // WM_APP up to 0xBFFF is the application's range.
  if (window_message < WM_APP || window_message > 0xBFFF) return std::nullopt;
  return static_cast<int>(window_message - WM_APP);
}

uint32_t window_message_for(int number) { return WM_APP + static_cast<uint32_t>(number); }

std::optional<StoredPlacement> usable_placement(const std::optional<std::vector<uint8_t>>& value) {
  StoredPlacement p;
  if (!value || value->size() != p.bytes.size()) return std::nullopt;
  std::copy(value->begin(), value->end(), p.bytes.begin());
  p.maximised = read_u32(p.bytes.data() + kShowCmdOffset) == SW_SHOWMAXIMIZED;
  write_u32(p.bytes.data() + kLengthOffset, static_cast<uint32_t>(sizeof(WINDOWPLACEMENT)));
  write_u32(p.bytes.data() + kShowCmdOffset, SW_HIDE);
  return p;
}

}  // namespace lw
