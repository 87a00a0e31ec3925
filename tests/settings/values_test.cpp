// The stored values and their defaults, on every store of the build.
#include "settings/values.h"

#include <gtest/gtest.h>

#include "serial/devices.h"
#include "settings/unregister.h"
#include "store_fixture.h"

namespace lw::test {
namespace {

class ValuesTest : public StoreTest {};

TEST_P(ValuesTest, EmptyStoreGivesEveryDefault) {
  Settings& s = *store_;
  EXPECT_FALSE(auto_open(s));
  EXPECT_TRUE(auto_reconnect(s));
  EXPECT_TRUE(cut_save(s));
  EXPECT_EQ(cut_keep(s), 5u);
  EXPECT_FALSE(cut_keep_counts_lines(cut_keep(s)));
  EXPECT_EQ(stamp_mode(s), 0u);
  EXPECT_EQ(send_ending(s), 1u);  // LF
  EXPECT_FALSE(csv_shared(s));
  EXPECT_FALSE(show_latency(s));
  EXPECT_TRUE(auto_update(s));
  EXPECT_EQ(last_update_check(s), 0u);
  EXPECT_FALSE(rules_text(s));
  EXPECT_FALSE(commands_text(s));
  EXPECT_FALSE(placement(s));
  EXPECT_EQ(language_setting(s), "");
  EXPECT_EQ(load_device_settings(s, "2341:0043:SER1"), PortSettings{});
}

TEST_P(ValuesTest, OddStoredNumbersFallBackPerValue) {
  struct Case {
    std::string_view name;
    uint32_t stored;
    uint32_t (*read)(Settings&);
    uint32_t expected;
  };
  const Case cases[] = {
      {setting::kCutKeep, 0, cut_keep, 5},     {setting::kCutKeep, 1, cut_keep, 1},
      {setting::kCutKeep, 60, cut_keep, 60},   {setting::kCutKeep, 61, cut_keep, 61},
      {setting::kEnding, 0, send_ending, 0},   {setting::kEnding, 3, send_ending, 3},
      {setting::kEnding, 4, send_ending, 1},   {setting::kEnding, 7, send_ending, 1},
      {setting::kStampMode, 2, stamp_mode, 2}, {setting::kStampMode, 3, stamp_mode, 0},
      {setting::kStampMode, 5, stamp_mode, 0},
  };
  for (const Case& c : cases) {
    store_->set_dword(c.name, c.stored);
    EXPECT_EQ(c.read(*store_), c.expected) << c.name << " = " << c.stored;
  }
  EXPECT_FALSE(cut_keep_counts_lines(60));  // the last 60 minutes
  EXPECT_TRUE(cut_keep_counts_lines(61));   // the last 61 lines
}

TEST_P(ValuesTest, AnyNonZeroNumberIsOn) {
  store_->set_dword(setting::kAutoOpen, 7);
  store_->set_dword(setting::kCutSave, 0);
  EXPECT_TRUE(auto_open(*store_));
  EXPECT_FALSE(cut_save(*store_));
  EXPECT_TRUE(flag_default_on(*store_, "NeverWritten"));
  EXPECT_FALSE(flag_default_off(*store_, "NeverWritten"));
}

TEST_P(ValuesTest, ToggleWritesTheOppositeOfWhatIsRead) {
  EXPECT_FALSE(toggle(*store_, setting::kAutoReconnect));
  EXPECT_EQ(store_->get_dword(setting::kAutoReconnect), 0u);
  EXPECT_TRUE(toggle(*store_, setting::kAutoReconnect));
  EXPECT_EQ(store_->get_dword(setting::kAutoReconnect), 1u);

  EXPECT_TRUE(toggle(*store_, setting::kLatency));
  EXPECT_EQ(store_->get_dword(setting::kLatency), 1u);

  store_->set_dword(setting::kAutoUpdate, 9);
  EXPECT_FALSE(toggle(*store_, setting::kAutoUpdate));
  EXPECT_EQ(store_->get_dword(setting::kAutoUpdate), 0u);
}

TEST_P(ValuesTest, ValuesReadOnlyAsTheTypeTheyWereWritten) {
  store_->set_text(setting::kCutKeep, "60");
  EXPECT_EQ(cut_keep(*store_), 5u);
  store_->set_dword(setting::kRules, 1);
  EXPECT_FALSE(rules_text(*store_));
  EXPECT_FALSE(store_->get_binary(setting::kRules));
}

TEST_P(ValuesTest, TextsAndBinariesComeBackAsWritten) {
  const std::string rules = "above\tT\t30\t0\t1\ntext\tERROR = [x] # \\n\t\t1\t0";
  set_rules_text(*store_, rules);
  set_commands_text(*store_, "*IDN?\nMEAS:VOLT?\n측정 ✓");
  set_language_setting(*store_, "zh-Hant");
  EXPECT_EQ(rules_text(*store_), rules);
  EXPECT_EQ(commands_text(*store_), "*IDN?\nMEAS:VOLT?\n측정 ✓");
  EXPECT_EQ(language_setting(*store_), "zh-Hant");

  set_language_setting(*store_, "");
  EXPECT_EQ(store_->get_text(setting::kLanguage), "");

  // Like a registry text: up to the first NUL.
  store_->set_text("Odd", std::string_view("ab\0cd", 5));
  EXPECT_EQ(store_->get_text("Odd"), "ab");

  std::vector<uint8_t> bytes(44);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37);
  set_placement(*store_, bytes);
  EXPECT_EQ(placement(*store_), bytes);
  bytes.pop_back();
  set_placement(*store_, bytes);
  EXPECT_FALSE(placement(*store_));  // only exactly 44 bytes count
  EXPECT_EQ(store_->get_binary(setting::kPlacement), bytes);
  store_->set_binary("Empty", {});
  EXPECT_EQ(store_->get_binary("Empty"), std::vector<uint8_t>{});
}

TEST_P(ValuesTest, LastUpdateCheckReadsOnlyPlainDecimals) {
  set_last_update_check(*store_, 1795000000);
  EXPECT_EQ(store_->get_text(setting::kLastUpdateCheck), "1795000000");
  EXPECT_EQ(last_update_check(*store_), 1795000000u);
  for (const char* bad : {"", "12a", "-5", " 12", "1e9", "99999999999999999999999"}) {
    store_->set_text(setting::kLastUpdateCheck, bad);
    EXPECT_EQ(last_update_check(*store_), 0u) << bad;
  }
}

TEST_P(ValuesTest, DevicesLiveInTheirOwnSubkey) {
  store_->set_text("COM7", "main", {});
  store_->set_text("COM7", "devices", kDevicesSubkey);
  EXPECT_EQ(store_->get_text("COM7"), "main");
  EXPECT_EQ(store_->get_text("COM7", kDevicesSubkey), "devices");
  EXPECT_FALSE(store_->get_dword(setting::kAutoOpen, kDevicesSubkey));
}

TEST_P(ValuesTest, SecondBoardOfAModelStartsWithTheFirstOnesSettings) {
  Settings& s = *store_;
  const PortSettings first{115200, 7, 2, 2, false, true};
  save_device_settings(s, "2341:0043:SER1", first);
  EXPECT_EQ(s.get_text("2341:0043:SER1", kDevicesSubkey), "115200,7,E,2,0,1");
  EXPECT_EQ(s.get_text("2341:0043", kDevicesSubkey), "115200,7,E,2,0,1");
  EXPECT_EQ(load_device_settings(s, "2341:0043:SER2"), first);

  const PortSettings second{57600, 8, 0, 0, true, false};
  save_device_settings(s, "2341:0043:SER2", second);
  EXPECT_EQ(load_device_settings(s, "2341:0043:SER2"), second);
  EXPECT_EQ(load_device_settings(s, "2341:0043:SER1"), first);   // its own value wins
  EXPECT_EQ(load_device_settings(s, "2341:0043@COM9"), second);  // the model's latest

  // A value that doesn't read counts as missing: the model's applies.
  s.set_text("2341:0043:SER1", "115200,7,E", kDevicesSubkey);
  EXPECT_EQ(load_device_settings(s, "2341:0043:SER1"), second);
  s.set_text("2341:0043", "fast", kDevicesSubkey);
  EXPECT_EQ(load_device_settings(s, "2341:0043:SER1"), PortSettings{});
}

TEST_P(ValuesTest, BarePortNamesShareNothing) {
  const PortSettings custom{300, 5, 4, 1, false, false};
  save_device_settings(*store_, "COM7", custom);
  EXPECT_EQ(load_device_settings(*store_, "COM7"), custom);
  EXPECT_EQ(load_device_settings(*store_, "COM8"), PortSettings{});
}

TEST_P(ValuesTest, UnregisterRemovesEverythingIncludingDevices) {
  store_->set_dword(setting::kAutoOpen, 1);
  set_rules_text(*store_, "text\tERROR\t\t0\t0");
  save_device_settings(*store_, "1A86:7523@COM5", PortSettings{});

  EXPECT_FALSE(handle_unregister(std::vector<std::string>{"--demo", "--unregisterx"}, *store_));
  EXPECT_TRUE(auto_open(*store_));

  const char* argv[] = {"linewick", "--docs", "out", "--unregister"};
  EXPECT_TRUE(handle_unregister(4, argv, *store_));
  EXPECT_TRUE(store_gone());
  EXPECT_FALSE(auto_open(*store_));
  EXPECT_FALSE(rules_text(*store_));
  EXPECT_FALSE(store_->get_text("1A86:7523@COM5", kDevicesSubkey));
  EXPECT_FALSE(store_->get_text("1A86:7523", kDevicesSubkey));
  EXPECT_FALSE(open_again()->get_text("1A86:7523", kDevicesSubkey));
}

TEST(Unregister, ProgramNameIsNotAnOption) {
  const char* argv[] = {"--unregister", "--demo"};
  EXPECT_FALSE(wants_unregister(2, argv));
  EXPECT_TRUE(wants_unregister(std::vector<std::string>{"--unregister"}));
}

TEST_P(ValuesTest, ReadsSeeTheLatestWriteOfAnotherInstance) {
  std::unique_ptr<Settings> other = open_again();
  EXPECT_EQ(stamp_mode(*other), 0u);
  set_stamp_mode(*store_, 2);
  EXPECT_EQ(stamp_mode(*other), 2u);
  set_send_ending(*other, 3);
  set_stamp_mode(*store_, 1);  // must not lose the other's change
  EXPECT_EQ(send_ending(*store_), 3u);
  EXPECT_EQ(stamp_mode(*other), 1u);
}

INSTANTIATE_TEST_SUITE_P(Stores, ValuesTest, testing::ValuesIn(store_kinds()), store_kind_name);

}  // namespace
}  // namespace lw::test
