#include "ports/instance_id.h"

#include <gtest/gtest.h>

#include "ports/port_list.h"

namespace lw {
namespace {

TEST(InstanceId, UsbIdAndSerial) {
  const struct {
    const char* id;
    std::optional<UsbId> usb_id;
    std::optional<std::string> serial;
  } cases[] = {
      {R"(USB\VID_2341&PID_0043\5573932393735151F0C1)", UsbId{0x2341, 0x0043},
       "5573932393735151F0C1"},
      {R"(USB\VID_10C4&PID_EA60\0001)", UsbId{0x10C4, 0xEA60}, "0001"},
      // One interface of a composite device: the serial belongs to the whole device.
      {R"(USB\VID_2341&PID_0043&MI_00\7&1A2B3C4D&0&0000)", UsbId{0x2341, 0x0043}, std::nullopt},
      {R"(USB\VID_2341&PID_0043&mi_02\ABC)", UsbId{0x2341, 0x0043}, std::nullopt},
      // A number the system made up.
      {R"(USB\VID_1A86&PID_7523\5&2A3B4C5D&0&1)", UsbId{0x1A86, 0x7523}, std::nullopt},
      {R"(usb\vid_2341&pid_0043\abcDEF)", UsbId{0x2341, 0x0043}, "abcDEF"},
      {R"(USB\VID_2341&PID_0043\SER\MORE)", UsbId{0x2341, 0x0043}, "SER"},
      {R"(USB\VID_2341&PID_0043)", UsbId{0x2341, 0x0043}, std::nullopt},
      {R"(USB\VID_2341&PID_0043\)", UsbId{0x2341, 0x0043}, std::nullopt},
      {R"(FTDIBUS\VID_0403+PID_6001+A50285BIA\0000)", UsbId{0x0403, 0x6001}, "A50285BIA"},
      {R"(ftdibus\vid_0403+pid_6001+a50285bia\0000)", UsbId{0x0403, 0x6001}, "a50285bia"},
      {R"(FTDIBUS\VID_0403+PID_6001\0000)", UsbId{0x0403, 0x6001}, std::nullopt},
      {R"(FTDIBUS\VID_0403+PID_6001+\0000)", UsbId{0x0403, 0x6001}, std::nullopt},
      {R"(FTDIBUS)", std::nullopt, std::nullopt},
      // Broken or missing numbers: no usb_id, the serial rule still applies.
      {R"(USB\VID_23G1&PID_0043\X)", std::nullopt, "X"},
      {R"(USB\VID_2341\X)", std::nullopt, "X"},
      {R"(USB\VID_234)", std::nullopt, std::nullopt},
      {R"(USB\PID_0043&VID_2341\X)", UsbId{0x2341, 0x0043}, "X"},
      {R"(ACPI\PNP0501\1)", std::nullopt, std::nullopt},
      {R"(BTHENUM\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002\7&1&0&000000000000_00000000)",
       std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(usb_id_from_instance_id(c.id), c.usb_id) << c.id;
    EXPECT_EQ(serial_from_instance_id(c.id), c.serial) << c.id;
  }
}

TEST(InstanceId, DeviceKeysOfTheExamples) {
  auto key = [](const char* name, const char* id) {
    return device_key(PortInfo{name, {}, serial_from_instance_id(id), usb_id_from_instance_id(id)});
  };
  EXPECT_EQ(key("COM4", R"(USB\VID_2341&PID_0043&MI_00\7&1A2B3C4D&0&0000)"), "2341:0043@COM4");
  EXPECT_EQ(key("COM5", R"(USB\VID_10C4&PID_EA60\0001)"), "10C4:EA60:0001");
  EXPECT_EQ(key("COM6", R"(USB\VID_10Z4&PID_EA60\0001)"), "COM6");
  EXPECT_EQ(key("COM6", R"(USB\VID_10C4\0001)"), "COM6");
}

TEST(InstanceId, DescriptionCleanup) {
  const struct {
    const char* text;
    const char* port;
    const char* want;
  } cases[] = {
      {"USB-SERIAL CH340 (COM5)", "COM5", "USB-SERIAL CH340"},
      {"  Arduino Uno (COM3) \t", "COM3", "Arduino Uno"},
      {"Arduino Uno(COM3)", "COM3", "Arduino Uno"},
      {"Arduino Uno (com3)", "COM3", "Arduino Uno"},
      {"Arduino Uno (COM3)", "COM13", "Arduino Uno (COM3)"},
      {"Arduino Uno (COM13)", "COM3", "Arduino Uno (COM13)"},
      {"Prolific (COM3) port", "COM3", "Prolific (COM3) port"},
      {"(COM3)", "COM3", ""},
      {"   ", "COM3", ""},
      {"Communications Port", "COM1", "Communications Port"},
  };
  for (const auto& c : cases) EXPECT_EQ(clean_description(c.text, c.port), c.want) << c.text;
}

}  // namespace
}  // namespace lw
