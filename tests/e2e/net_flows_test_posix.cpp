// Serial ports on another machine, played by ser2net on 127.0.0.1 over a
// pseudo-terminal, through the whole application on the headless host: in
// RFC 2217 mode lines arrive with their times, a baud rate typed in the tab
// reaches the line, the server going away is a disconnect with its
// cut-save and its return reconnects the tab; in raw mode the bytes pass.
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "base/utf8_path.h"
#include "e2e/ser2net.h"
#include "script.h"
#include "serial/pty_pair.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

class NetFlows : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "lw-net-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }

  ScriptResult run(const std::string& script, ScriptOptions o) {
    o.args.insert(o.args.end(), {"--docs", utf8_from_path(dir_ / "docs")});
    ScriptResult r = run_script(o, script);
    EXPECT_TRUE(r.ok) << r.error << "\n" << r.output;
    return r;
  }

  fs::path dir_;
};

speed_t line_speed(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return 0;
  return cfgetospeed(&t);
}

// Waits until the line runs at `speed`: set by ser2net when it opened the
// device, or by the tab's settings once its link is up.
std::string line_at(const test::PtyPair& pty, speed_t speed) {
  for (int i = 0; i < 500; ++i) {
    if (line_speed(pty.near_fd()) == speed) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return "the line stays at another speed";
}

TEST_F(NetFlows, Rfc2217LinesSettingsLossAndReturn) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  test::Ser2net server(dir_, "telnet(rfc2217),tcp", pty.path());
  ASSERT_EQ(server.start(), "");
  const std::string address = "rfc2217://127.0.0.1:" + std::to_string(server.port());
  ScriptOptions o;
  o.calls["device prints"] = [&] {
    return pty.send("T=21.5 H=40\r\nready\r\n") ? "" : "the far end took no bytes";
  };
  // The tab's 9600 comes after the purge of the server's buffers: what the
  // device prints from then on reaches the tab.
  o.calls["linked"] = [&] { return line_at(pty, B9600); };
  o.calls["line at 115200"] = [&] { return line_at(pty, B115200); };
  o.calls["server stops"] = [&] {
    // Another speed meanwhile, so that the tab's own rate shows it is back.
    termios t{};
    tcgetattr(pty.near_fd(), &t);
    cfsetspeed(&t, B4800);
    tcsetattr(pty.near_fd(), TCSANOW, &t);
    return server.stop();
  };
  o.calls["server starts"] = [&] { return server.start(); };
  o.calls["relinked"] = [&] { return line_at(pty, B115200); };
  o.calls["device prints again"] = [&] {
    return pty.send("back\r\n") ? "" : "the far end took no bytes";
  };
  const ScriptResult r = run("openpath " + address +
                                 "\n"
                                 "call linked\n"
                                 "call device prints\n"
                                 "until ready\n"
                                 "click baud_field\n"
                                 "key a ctrl\n"
                                 "type 115200\n"
                                 "key enter\n"
                                 "call line at 115200\n"
                                 "call server stops\n"
                                 "until ── Disconnected\n"
                                 "call server starts\n"
                                 "until ── Reconnected\n"
                                 "call relinked\n"
                                 "call device prints again\n"
                                 "until back\n",
                             o);
  EXPECT_TRUE(
      std::regex_search(r.output, std::regex(R"(\n  \d\d:\d\d:\d\d\.\d{3}  T=21\.5 H=40\n)")))
      << r.output;
  EXPECT_NE(r.output.find("session 0: " + address + " state=Open"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("disconnects=1 reconnects=1"), std::string::npos) << r.output;
  // The cut-save of the loss, in the log folder.
  EXPECT_NE(r.output.find("-disconnected.txt"), std::string::npos) << r.output;
  const size_t lost = r.output.find("── Disconnected ");
  const size_t again = r.output.find("── Reconnected ");
  const size_t back = r.output.find("  back\n");
  ASSERT_NE(back, std::string::npos) << r.output;
  EXPECT_LT(lost, again);
  EXPECT_LT(again, back);
}

TEST_F(NetFlows, RawTcpPassesTheBytes) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  test::Ser2net server(dir_, "tcp", pty.path());
  ASSERT_EQ(server.start(), "");
  const std::string address = "tcp://127.0.0.1:" + std::to_string(server.port());
  ScriptOptions o;
  // Raw mode sends no settings: ser2net's own speed says it has the line.
  o.calls["linked"] = [&] { return line_at(pty, B19200); };
  o.calls["device prints"] = [&] {
    return pty.send("V=3.30\r\n") ? "" : "the far end took no bytes";
  };
  const ScriptResult r = run("openpath " + address +
                                 "\n"
                                 "call linked\n"
                                 "call device prints\n"
                                 "until V=3.30\n"
                                 "print ports\n",
                             o);
  EXPECT_NE(r.output.find("session 0: " + address + " state=Open"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("  " + address + " [added]"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace lw
