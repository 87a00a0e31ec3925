#include "send/presets.h"

#include <gtest/gtest.h>

#include "support/memory_settings.h"

namespace lw {
namespace {

using List = std::vector<std::string>;

TEST(Presets, DefaultsWhenNothingIsStored) {
  test::MemorySettings settings;
  EXPECT_EQ(load_presets(settings), (List{"*IDN?", "MEAS:VOLT?", "*RST | wait 500 | MEAS:VOLT?"}));
  settings.set_text("Commands", "");
  EXPECT_EQ(load_presets(settings), List{});  // all removed stays removed
}

TEST(Presets, StoredForm) {
  EXPECT_EQ(parse_presets("a\r\n  b  \n\n\r\n c\rd \nlast"), (List{"a", "b", "c\rd", "last"}));
  EXPECT_EQ(join_presets(List{"a", "b c"}), "a\nb c");
  EXPECT_EQ(join_presets(List{}), "");
}

TEST(Presets, AddAndRemoveAreStored) {
  test::MemorySettings settings;
  List presets = load_presets(settings);
  EXPECT_EQ(add_preset(presets, settings, "  SYST:ERR?  "), "Added to the presets");
  EXPECT_EQ(settings.get_text("Commands"),
            "*IDN?\nMEAS:VOLT?\n*RST | wait 500 | MEAS:VOLT?\nSYST:ERR?");
  EXPECT_EQ(add_preset(presets, settings, " \t "), std::nullopt);
  EXPECT_EQ(presets.size(), 4u);

  EXPECT_TRUE(add_preset(presets, settings, "*IDN?").has_value());
  remove_preset(presets, settings, "*IDN?");  // the first of the two
  EXPECT_EQ(presets, (List{"MEAS:VOLT?", "*RST | wait 500 | MEAS:VOLT?", "SYST:ERR?", "*IDN?"}));
  EXPECT_EQ(load_presets(settings), presets);
}

}  // namespace
}  // namespace lw
