#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "gfx/theme.h"

namespace lw {
namespace {

// Sets GTK_THEME for one test and restores it after.
class GtkThemeVariable : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("GTK_THEME")) saved_ = v;
  }
  void TearDown() override {
    if (saved_) {
      setenv("GTK_THEME", saved_->c_str(), 1);
    } else {
      unsetenv("GTK_THEME");
    }
  }
  std::optional<std::string> saved_;
};

TEST_F(GtkThemeVariable, NamesTheVariant) {
  setenv("GTK_THEME", "Adwaita:dark", 1);
  EXPECT_TRUE(system_uses_dark_theme());
  setenv("GTK_THEME", "Adwaita", 1);
  EXPECT_FALSE(system_uses_dark_theme());
  setenv("GTK_THEME", "Arc-Dark", 1);
  EXPECT_TRUE(system_uses_dark_theme());
}

}  // namespace
}  // namespace lw
