#include "serial/settings_text.h"

#include <gtest/gtest.h>

#include "serial/open_failure.h"

namespace lw {
namespace {

PortSettings make(uint32_t baud, uint8_t data, uint8_t parity, uint8_t stop, bool dtr = true,
                  bool rts = true) {
  return PortSettings{baud, data, parity, stop, dtr, rts};
}

TEST(SettingsText, FrameSummary) {
  const struct {
    PortSettings s;
    const char* want;
  } cases[] = {
      {make(9600, 8, 0, 0), "8N1"}, {make(9600, 7, 2, 0), "7E1"}, {make(9600, 8, 0, 1), "8N1.5"},
      {make(9600, 8, 1, 2), "8O2"}, {make(9600, 5, 3, 0), "5M1"}, {make(9600, 6, 4, 2), "6S2"},
  };
  for (const auto& c : cases) EXPECT_EQ(frame_summary(c.s), c.want);
}

TEST(SettingsText, StoredFormAndDefaults) {
  EXPECT_EQ(format_port_settings(default_port_settings()), "9600,8,N,1,1,1");
  EXPECT_EQ(default_port_settings(), make(9600, 8, 0, 0, true, true));
  EXPECT_EQ(format_port_settings(make(115200, 7, 2, 2, false, true)), "115200,7,E,2,0,1");
  EXPECT_EQ(format_port_settings(make(50, 5, 4, 1, true, false)), "50,5,S,1.5,1,0");
}

TEST(SettingsText, ParseAccepts) {
  const struct {
    const char* text;
    PortSettings want;
  } cases[] = {
      {"9600,8,N,1,1,1", make(9600, 8, 0, 0, true, true)},
      {"+115200,+7,E,1.5,0,1", make(115200, 7, 2, 1, false, true)},
      {"50,5,M,2,1,0", make(50, 5, 3, 2, true, false)},
      {"12000000,6,S,1,0,0", make(12000000, 6, 4, 0, false, false)},
      {"0009600,08,O,1,1,1", make(9600, 8, 1, 0, true, true)},
      // Only exactly "1" turns a line on; anything else is off, not a failure.
      {"74880,8,N,1,yes,ON", make(74880, 8, 0, 0, false, false)},
      {"74880,8,N,1,,", make(74880, 8, 0, 0, false, false)},
      {"74880,8,N,1, 1,1 ", make(74880, 8, 0, 0, false, false)},
  };
  for (const auto& c : cases) {
    const std::optional<PortSettings> got = parse_port_settings(c.text);
    ASSERT_TRUE(got) << c.text;
    EXPECT_EQ(*got, c.want) << c.text;
  }
}

TEST(SettingsText, ParseRejects) {
  const char* cases[] = {
      "",
      "9600,8,N,1,1",        // five fields
      "9600,8,N,1,1,1,1",    // seven
      "49,8,N,1,1,1",        // below 50
      "12000001,8,N,1,1,1",  // above 12000000
      "4294967296,8,N,1,1,1",
      "99999999999999999999,8,N,1,1,1",
      "-9600,8,N,1,1,1",
      " 9600,8,N,1,1,1",
      "9600 ,8,N,1,1,1",
      "++9600,8,N,1,1,1",
      "+,8,N,1,1,1",
      "0x2580,8,N,1,1,1",
      "9600.0,8,N,1,1,1",
      "9600,4,N,1,1,1",
      "9600,9,N,1,1,1",
      "9600,,N,1,1,1",
      "9600,8,n,1,1,1",  // letters are upper case
      "9600,8,NN,1,1,1",
      "9600,8,,1,1,1",
      "9600,8,X,1,1,1",
      "9600,8,N,1.0,1,1",
      "9600,8,N,15,1,1",
      "9600,8,N,3,1,1",
      "9600,8,N,,1,1",
  };
  for (const char* text : cases) EXPECT_FALSE(parse_port_settings(text)) << text;
}

TEST(SettingsText, RoundTrip) {
  for (uint8_t parity = 0; parity < 5; ++parity) {
    for (uint8_t stop = 0; stop < 3; ++stop) {
      const PortSettings s = make(250000, static_cast<uint8_t>(5 + (parity + stop) % 4), parity,
                                  stop, parity % 2 == 0, stop % 2 == 0);
      EXPECT_EQ(parse_port_settings(format_port_settings(s)), s) << format_port_settings(s);
    }
  }
}

TEST(SettingsText, BaudPresetsAndCustomLabel) {
  const std::vector<uint32_t> want = {300,    1200,   2400,   4800,   9600,  14400,
                                      19200,  28800,  38400,  57600,  74880, 115200,
                                      230400, 250000, 460800, 500000, 921600};
  EXPECT_EQ(std::vector<uint32_t>(kBaudPresets.begin(), kBaudPresets.end()), want);
  EXPECT_TRUE(is_baud_preset(74880));
  EXPECT_FALSE(is_baud_preset(76800));
  EXPECT_EQ(custom_baud_label(9600), "Custom…");
  EXPECT_EQ(custom_baud_label(76800), "Custom… (76800)");
  EXPECT_TRUE(baud_in_range(50));
  EXPECT_TRUE(baud_in_range(12000000));
  EXPECT_FALSE(baud_in_range(49));
  EXPECT_FALSE(baud_in_range(12000001));
}

TEST(OpenFailureText, EachKindHasItsText) {
  const struct {
    OpenFailure failure;
    const char* text;
  } cases[] = {
      {OpenFailure::Busy, "Another program is using this port. Close it and press 'Open'"},
      {OpenFailure::Missing, "The port isn't there (it may have been unplugged)"},
      {OpenFailure::Other, "Couldn't open the port"},
      // The two that name the device the user typed.
      {OpenFailure::Denied,
       "Your account has no access to /dev/ttyUSB0. Add it to the dialout group, then log in "
       "again"},
      {OpenFailure::NotSerial, "That isn't a serial device: /dev/ttyUSB0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(open_failure_text(c.failure, "/dev/ttyUSB0"), c.text);
  }
  // A holder that could be seen is named.
  EXPECT_EQ(open_failure_text(OpenFailure::Busy, "/dev/ttyUSB0", PortHolder{4242, "minicom"}),
            "minicom (process 4242) is using this port. Close it and press 'Open'");
  EXPECT_EQ(open_failure_text(OpenFailure::Busy, "/dev/ttyUSB0", PortHolder{4242, ""}),
            open_failure_text(OpenFailure::Busy, "/dev/ttyUSB0"));
}

}  // namespace
}  // namespace lw
