#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <array>

namespace lw {
namespace {

std::vector<std::string> names(const std::vector<PortInfo>& ports) {
  std::vector<std::string> out;
  for (const PortInfo& p : ports) out.push_back(p.name);
  return out;
}

TEST(Simulator, ListsPluggedInEntriesInTableOrder) {
  Simulator sim(parse_demo_list("COM7=Demo board=1234:ABCD:A1;!COM9=Spare;COM3"));
  EXPECT_TRUE(sim.active());
  const std::vector<PortInfo> ports = sim.list_simulated();
  ASSERT_EQ(names(ports), (std::vector<std::string>{"COM7", "COM3"}));
  EXPECT_EQ(ports[0].description, "Demo board");
  EXPECT_EQ(ports[0].serial, "A1");
  EXPECT_EQ(ports[0].usb_id, (UsbId{0x1234, 0xABCD}));
}

TEST(Simulator, ToggleFlipsOneEntryAndIgnoresIndicesBeyondTheTable) {
  Simulator sim(parse_demo_list("COM7;!COM9"));
  sim.toggle_present(1);
  EXPECT_EQ(names(sim.list_simulated()), (std::vector<std::string>{"COM7", "COM9"}));
  sim.toggle_present(0);
  EXPECT_EQ(names(sim.list_simulated()), (std::vector<std::string>{"COM9"}));
  sim.toggle_present(2);
  sim.toggle_present(static_cast<size_t>(-1));
  EXPECT_EQ(names(sim.list_simulated()), (std::vector<std::string>{"COM9"}));
  sim.toggle_present(0);
  EXPECT_EQ(names(sim.list_simulated()), (std::vector<std::string>{"COM7", "COM9"}));
}

TEST(Simulator, OpensOnlyPresentEntriesByExactName) {
  Simulator sim(parse_demo_list("COM7;!COM9"));
  EXPECT_TRUE(sim.open_simulated("COM7").ok());
  const std::array<std::string, 4> missing = {"COM9", "com7", "COM70", ""};
  for (const std::string& name : missing) {
    SCOPED_TRACE(name);
    auto opened = sim.open_simulated(name);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error(), OpenFailure::Missing);
  }
  sim.toggle_present(1);
  EXPECT_TRUE(sim.open_simulated("COM9").ok());
}

TEST(Simulator, AnEntryAnotherProgramTakesIsBusyUntilItLetsGo) {
  Simulator sim(parse_demo_list("COM7;!COM9"));
  SimPortSystem ports(sim);
  EXPECT_EQ(ports.look_at("COM7", std::nullopt).use, PortLook::Use::Free);
  EXPECT_EQ(ports.look_at("COM9", std::nullopt).use, PortLook::Use::Missing);  // unplugged
  EXPECT_EQ(ports.look_at("COM5", std::nullopt).use, PortLook::Use::Missing);

  EXPECT_TRUE(sim.toggle_taken(0));
  const PortLook taken = ports.look_at("COM7", std::nullopt);
  EXPECT_EQ(taken.use, PortLook::Use::Held);
  EXPECT_FALSE(taken.holder);  // nobody the simulator could name
  EXPECT_FALSE(taken.by_opening);
  auto busy = sim.open_simulated("COM7");
  ASSERT_FALSE(busy.ok());
  EXPECT_EQ(busy.error(), OpenFailure::Busy);
  EXPECT_EQ(names(sim.list_simulated()), (std::vector<std::string>{"COM7"}));  // still listed

  EXPECT_FALSE(sim.toggle_taken(0));
  EXPECT_TRUE(sim.open_simulated("COM7").ok());
  EXPECT_FALSE(sim.toggle_taken(2));  // beyond the table: nothing
}

TEST(Simulator, OpenDeviceFollowsItsEntry) {
  Simulator sim(parse_demo_list("COM7"));
  auto opened = sim.open_simulated("COM7");
  ASSERT_TRUE(opened.ok());
  Port& port = **opened;
  const std::array<uint8_t, 2> cmd = {'A', '\n'};
  EXPECT_TRUE(port.write_all(cmd).ok());

  sim.toggle_present(0);
  std::array<uint8_t, 64> buf{};
  auto got = port.read(buf);
  ASSERT_FALSE(got.ok());
  EXPECT_EQ(got.error().text, "The device does not recognize the command.");
  const Status wrote = port.write_all(cmd);
  ASSERT_FALSE(wrote.ok());
  EXPECT_EQ(wrote.error().text, "gone");
  EXPECT_FALSE(sim.open_simulated("COM7").ok());
}

TEST(Simulator, TableIsBuiltOnce) {
  Simulator sim;
  EXPECT_FALSE(sim.active());
  EXPECT_TRUE(sim.list_simulated().empty());
  EXPECT_FALSE(sim.open_simulated("COM1").ok());
  sim.toggle_present(0);

  EXPECT_TRUE(sim.enable(parse_demo_list("COM1")));
  EXPECT_FALSE(sim.enable(parse_demo_list("COM2;COM3")));
  EXPECT_TRUE(sim.active());
  EXPECT_EQ(names(sim.list_simulated()), (std::vector<std::string>{"COM1"}));
}

TEST(SimPortSystem, ListsAndOpensThroughTheSimulator) {
  Simulator sim(parse_demo_list("COM4=Board;!COM5"));
  SimPortSystem system(sim);
  EXPECT_EQ(system.list_ports(), sim.list_simulated());
  PortSettings odd;
  odd.baud = 50;
  odd.parity = 3;
  auto opened = system.open_port("COM4", odd);
  ASSERT_TRUE(opened.ok());
  EXPECT_TRUE((*opened)->configure(odd).ok());
  auto missing = system.open_port("COM5", {});
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), OpenFailure::Missing);
}

}  // namespace
}  // namespace lw
