#include "ports/port_scan.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

DeviceRecord device(std::optional<std::string> port, std::optional<std::string> friendly = {},
                    std::optional<std::string> desc = {}, std::optional<std::string> id = {}) {
  return DeviceRecord{std::move(port), std::move(friendly), std::move(desc), std::move(id)};
}

TEST(PortScan, DeviceManagerJoinedWithTheTable) {
  const auto ports = build_port_list({device("COM3", "Arduino Uno (COM3)")}, {"COM3", "COM7"});
  const std::vector<PortInfo> want = {{"COM3", "Arduino Uno", {}, {}}, {"COM7", "", {}, {}}};
  EXPECT_EQ(ports, want);
}

TEST(PortScan, DevicesWithoutComNamesAreSkipped) {
  const auto ports =
      build_port_list({device("LPT1", "Printer Port (LPT1)"), device(std::nullopt, "No name"),
                       device("com9", "x"), device("CO"), device("COMMS1")},
                      {});
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].name, "COMMS1");  // begins with COM, so it is kept
  EXPECT_EQ(ports[1].name, "com9");
}

TEST(PortScan, DescriptionFallsBackToTheDeviceDescription) {
  const auto ports = build_port_list(
      {device("COM1", "", "Communications Port"), device("COM2", std::nullopt, " Serial (COM2) "),
       device("COM3"), device("COM4", " Friendly ", "Desc")},
      {});
  ASSERT_EQ(ports.size(), 4u);
  EXPECT_EQ(ports[0].description, "Communications Port");
  EXPECT_EQ(ports[1].description, "Serial");
  EXPECT_EQ(ports[2].description, "");
  EXPECT_EQ(ports[3].description, "Friendly");
}

TEST(PortScan, UsbNumbersFromTheInstanceId) {
  const auto ports = build_port_list(
      {device("COM4", "USB Serial Device (COM4)", {},
              R"(USB\VID_2341&PID_0043\5573932393735151F0C1)"),
       device("COM5", "USB-SERIAL CH340 (COM5)", {}, R"(USB\VID_1A86&PID_7523\5&2A3B4C5D&0&1)")},
      {"COM4", "COM5", "COM6"});
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0],
            (PortInfo{"COM4", "USB Serial Device", "5573932393735151F0C1", UsbId{0x2341, 0x43}}));
  EXPECT_EQ(ports[1], (PortInfo{"COM5", "USB-SERIAL CH340", std::nullopt, UsbId{0x1A86, 0x7523}}));
  EXPECT_EQ(ports[2], (PortInfo{"COM6", "", std::nullopt, std::nullopt}));
}

TEST(PortScan, OrderAndDuplicates) {
  const auto ports = build_port_list({device("COM10", "Ten"), device("COM2", "Two")},
                                     {"com2", "COM1", "", "BTHPORT", "COM1"});
  std::vector<std::string> names;
  for (const PortInfo& p : ports) names.push_back(p.name);
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM2", "COM10", "BTHPORT"}));
  EXPECT_EQ(ports[1].description, "Two");  // the device manager's entry wins over com2
}

TEST(PortScan, NoSourcesNoPorts) { EXPECT_TRUE(build_port_list({}, {}).empty()); }

TEST(SystemText, CutAtNulAndInvalidIsAbsent) {
  EXPECT_EQ(text_from_utf16(u"COM3"), "COM3");
  EXPECT_EQ(text_from_utf16(std::u16string_view(u"COM3\0junk", 9)), "COM3");
  EXPECT_EQ(text_from_utf16(u""), "");
  EXPECT_EQ(text_from_utf16(u"포트 \U0001F50C"), "포트 \U0001F50C");
  const char16_t lone_high[] = {u'A', 0xD800, u'B'};
  const char16_t lone_low[] = {0xDC00};
  const char16_t after_nul[] = {u'A', 0, 0xD800};
  EXPECT_EQ(text_from_utf16({lone_high, 3}), std::nullopt);
  EXPECT_EQ(text_from_utf16({lone_low, 1}), std::nullopt);
  EXPECT_EQ(text_from_utf16({after_nul, 3}), "A");
}

}  // namespace
}  // namespace lw
