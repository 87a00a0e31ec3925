#include <gtest/gtest.h>
#include <windows.h>
// dbt.h needs windows.h first.
#include <dbt.h>

#include <cstring>
#include <vector>

#include "host/window_rules_win32.h"

namespace lw {
namespace {

TEST(WindowRules, CentredRectAtEachDpi) {
  struct Case {
    PixelRect work;
    uint32_t dpi;
    PixelRect expected;
  };
  const Case cases[] = {
      // 1180 wide, 82 % of 1040 = 852 high, centred.
      {{0, 0, 1920, 1040}, 96, {370, 94, 1550, 946}},
      // 150 %: 1770 wide.
      {{0, 0, 2560, 1400}, 144, {395, 126, 2165, 1274}},
      // Wider than the work area: the work area's width.
      {{0, 0, 1280, 680}, 144, {0, 61, 1280, 618}},
      // A second monitor left of the first, its work area off the origin.
      {{-1600, 40, 0, 900}, 96, {-1390, 117, -210, 822}},
      // 0 (unknown) and values below 96 count as 96.
      {{0, 0, 1920, 1040}, 0, {370, 94, 1550, 946}},
      {{0, 0, 1920, 1040}, 72, {370, 94, 1550, 946}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(centred_window_rect(c.work, c.dpi), c.expected) << "dpi " << c.dpi;
  }
}

TEST(WindowRules, MinimumSizeScalesWithDpi) {
  EXPECT_EQ(min_window_size(96), (PixelSize{900, 560}));
  EXPECT_EQ(min_window_size(120), (PixelSize{1125, 700}));
  EXPECT_EQ(min_window_size(144), (PixelSize{1350, 840}));
  EXPECT_EQ(min_window_size(0), (PixelSize{900, 560}));
  EXPECT_EQ(dips_to_pixels(13, 120), 16);  // 16.25 rounds down
  EXPECT_EQ(dips_to_pixels(14, 120), 18);  // 17.5 rounds up
}

TEST(WindowRules, OnlyPortDeviceChangesCount) {
  EXPECT_TRUE(is_port_device_change(DBT_DEVNODES_CHANGED));
  EXPECT_TRUE(is_port_device_change(DBT_DEVICEARRIVAL));
  EXPECT_TRUE(is_port_device_change(DBT_DEVICEREMOVECOMPLETE));
  EXPECT_TRUE(is_port_device_change(0x0007));
  EXPECT_TRUE(is_port_device_change(0x8000));
  EXPECT_TRUE(is_port_device_change(0x8004));
  for (uintptr_t other :
       {uintptr_t{0x0018}, uintptr_t{0x0017}, uintptr_t{0x8001}, uintptr_t{0x8002},
        uintptr_t{0x8003}, uintptr_t{0x8006}, uintptr_t{0xFFFF}, uintptr_t{0}}) {
    EXPECT_FALSE(is_port_device_change(other)) << std::hex << other;
  }
}

TEST(WindowRules, AppMessagesAreNumberedFromWmApp) {
  EXPECT_EQ(window_message_for(1), static_cast<uint32_t>(WM_APP + 1));
  EXPECT_EQ(window_message_for(30), static_cast<uint32_t>(WM_APP + 30));
  EXPECT_EQ(app_message_number(WM_APP + 31), 31);
  EXPECT_EQ(app_message_number(WM_APP), 0);
  EXPECT_EQ(app_message_number(WM_APP - 1), std::nullopt);  // WM_USER range
  EXPECT_EQ(app_message_number(WM_TIMER), std::nullopt);
  EXPECT_EQ(app_message_number(0xC000), std::nullopt);  // registered messages
}

std::vector<uint8_t> placement_bytes(UINT show, RECT normal) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  wp.showCmd = show;
  wp.rcNormalPosition = normal;
  std::vector<uint8_t> bytes(sizeof wp);
  std::memcpy(bytes.data(), &wp, sizeof wp);
  return bytes;
}

WINDOWPLACEMENT as_placement(const StoredPlacement& p) {
  WINDOWPLACEMENT wp;
  std::memcpy(&wp, p.bytes.data(), sizeof wp);
  return wp;
}

TEST(WindowRules, StoredPlacementIsAppliedHiddenAndRemembersMaximised) {
  const RECT normal{100, 120, 1300, 900};
  for (UINT show : {UINT{SW_SHOWNORMAL}, UINT{SW_SHOWMAXIMIZED}, UINT{SW_SHOWMINIMIZED}}) {
    const auto p = usable_placement(placement_bytes(show, normal));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->maximised, show == SW_SHOWMAXIMIZED) << show;
    const WINDOWPLACEMENT wp = as_placement(*p);
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_HIDE));
    EXPECT_EQ(wp.length, sizeof(WINDOWPLACEMENT));
    EXPECT_EQ(wp.rcNormalPosition.left, 100);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 900);
  }
}

TEST(WindowRules, PlacementOfTheWrongLengthIsIgnored) {
  std::vector<uint8_t> bytes = placement_bytes(SW_SHOWNORMAL, RECT{0, 0, 800, 600});
  EXPECT_FALSE(usable_placement(std::nullopt).has_value());
  EXPECT_FALSE(usable_placement(std::vector<uint8_t>{}).has_value());
  bytes.push_back(0);
  EXPECT_FALSE(usable_placement(bytes).has_value());
  bytes.resize(43);
  EXPECT_FALSE(usable_placement(bytes).has_value());
}

}  // namespace
}  // namespace lw
