#include "sim/demo_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lw {
namespace {

struct Expected {
  std::string name;
  std::string description;
  std::optional<std::string> serial;
  std::optional<UsbId> usb_id;
  bool present = true;
};

Expected port(std::string name, std::string description = "",
              std::optional<std::string> serial = std::nullopt,
              std::optional<UsbId> usb_id = std::nullopt, bool present = true) {
  return {std::move(name), std::move(description), std::move(serial), usb_id, present};
}

void expect_ports(std::string_view text, const std::vector<Expected>& want) {
  SCOPED_TRACE(std::string(text));
  const std::vector<SimulatedPort> got = parse_demo_list(text);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].info.name, want[i].name);
    EXPECT_EQ(got[i].info.description, want[i].description);
    EXPECT_EQ(got[i].info.serial, want[i].serial);
    EXPECT_EQ(got[i].info.usb_id, want[i].usb_id);
    ASSERT_NE(got[i].present, nullptr);
    EXPECT_EQ(got[i].present->load(), want[i].present);
  }
}

TEST(DemoList, CommandLineExample) {
  expect_ports("COM7=Demo board=1234:ABCD:A1;!COM9=Spare",
               {port("COM7", "Demo board", "A1", UsbId{0x1234, 0xABCD}, true),
                port("COM9", "Spare", std::nullopt, std::nullopt, false)});
}

TEST(DemoList, OddItems) {
  const struct {
    std::string_view text;
    std::vector<Expected> want;
  } cases[] = {
      {"", {}},
      {";; ;\t;", {}},
      {"COM3", {port("COM3")}},
      {"  COM3  ;  COM4 = Board  ", {port("COM3"), port("COM4", "Board")}},
      {" ! COM5 = Spare board = 2341 : 0043 : 55739 ",
       {port("COM5", "Spare board", "55739", UsbId{0x2341, 0x0043}, false)}},
      {"!", {}},
      {"=Nameless=1234:5678:X;!=Also nameless", {}},
      {"COM1;;COM2;", {port("COM1"), port("COM2")}},
      {"COM6=Plus=+1a86:+7523", {port("COM6", "Plus", std::nullopt, UsbId{0x1A86, 0x7523})}},
      {"COM6=Short=1:2", {port("COM6", "Short", std::nullopt, UsbId{0x0001, 0x0002})}},
      // Not hexadecimal, too long, empty, sign only, a second sign, a 0x
      // prefix, no product: no USB numbers, but the serial stays.
      {"COM8=Bad=12G4:0043:SN1", {port("COM8", "Bad", "SN1")}},
      {"COM8=Bad=12345:0043:SN1", {port("COM8", "Bad", "SN1")}},
      {"COM8=Bad=:0043:SN1", {port("COM8", "Bad", "SN1")}},
      {"COM8=Bad=+:0043", {port("COM8", "Bad")}},
      {"COM8=Bad=++12:0043", {port("COM8", "Bad")}},
      {"COM8=Bad=0x12:0043", {port("COM8", "Bad")}},
      {"COM8=Bad=1234", {port("COM8", "Bad")}},
      // The serial is the rest, separators included; blank is absent.
      {"COM9=D=1234:5678:A:B=C", {port("COM9", "D", "A:B=C", UsbId{0x1234, 0x5678})}},
      {"COM9=D=1234:5678:  ", {port("COM9", "D", std::nullopt, UsbId{0x1234, 0x5678})}},
      {"COM9==1234:5678:S", {port("COM9", "", "S", UsbId{0x1234, 0x5678})}},
      {"COM9=", {port("COM9")}},
      {"COM-flood=Fast board", {port("COM-flood", "Fast board")}},
  };
  for (const auto& c : cases) expect_ports(c.text, c.want);
}

TEST(DemoList, EachEntryHasItsOwnFlag) {
  std::vector<SimulatedPort> ports = parse_demo_list("COM1;COM2");
  ASSERT_EQ(ports.size(), 2u);
  ports[0].present->store(false);
  EXPECT_TRUE(ports[1].present->load());
  const SimulatedPort copy = ports[0];
  copy.present->store(true);
  EXPECT_TRUE(ports[0].present->load());  // copies share the flag
}

}  // namespace
}  // namespace lw
