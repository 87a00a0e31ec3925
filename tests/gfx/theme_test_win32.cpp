#include <gtest/gtest.h>
#include <windows.h>

#include "gfx/theme.h"

namespace lw {
namespace {

const wchar_t* const key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// Sets the user's value for the test and puts the old one back after it.
class ThemeValue : public testing::Test {
 protected:
  void SetUp() override {
    DWORD size = sizeof saved_;
    had_ = RegGetValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr,
                        &saved_, &size) == ERROR_SUCCESS;
  }
  void TearDown() override {
    if (had_) {
      set(saved_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme");
    }
  }
  static void set(DWORD v) {
    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme", REG_DWORD, &v, sizeof v),
        ERROR_SUCCESS);
  }

  DWORD saved_ = 0;
  bool had_ = false;
};

TEST_F(ThemeValue, DarkOnlyWhenAppsDoNotUseTheLightTheme) {
  set(0);
  EXPECT_TRUE(system_uses_dark_theme());
  set(1);
  EXPECT_FALSE(system_uses_dark_theme());
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme");
  EXPECT_FALSE(system_uses_dark_theme());  // missing means light
}

}  // namespace
}  // namespace lw
