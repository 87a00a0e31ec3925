// The Linux program as a Linux desktop sees it: a device opened by its
// path through the port list's entry, its by-id link moved to another
// device, the window class that matches the desktop entry, the frame
// following the portal's colour scheme, and the Linux words in English and
// German, light and dark (screenshots in the build folder).
#include <gtest/gtest.h>

#include <memory>

#include "program_fixture_linux.h"
#include "serial/pty_pair.h"

namespace lw::window_test {
namespace {

// Where the port list's entry sits with one port listed: the first row is
// 48 + 42 down and 58 high, the entry 4 below it and 36 high.
constexpr int kEntryX = 140;
constexpr int kEntryY = 48 + 42 + 58 + 4 + 18;

class Desktop : public ProgramWindow {
 protected:
  bool wait_for(const std::function<bool()>& done, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
      if (Clock::now() >= end || !program_.running()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
  }
  static bool wait_for_text(const fs::path& file, const std::string& text) {
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (read_file(file).find(text) == std::string::npos) {
      if (Clock::now() >= end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }
  void click(const std::string& window, int x, int y) {
    xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"});
  }
  void keys(const std::vector<std::string>& names) {
    std::vector<std::string> args{"key", "--delay", "60"};
    args.insert(args.end(), names.begin(), names.end());
    xdotool(args);
  }
  void type(const std::string& text) { xdotool({"type", "--delay", "30", text}); }
  // Types a line into the tab's send field and Enter, until the device
  // receives it.
  bool send_until_received(const std::string& window, test::PtyPair& device,
                           const std::string& line) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      xdotool({"windowfocus", "--sync", window});
      type(line);
      keys({"Return"});
      if (device.receive(line.size() + 1, 5000) == line + "\n") return true;
    }
    return false;
  }
  // Whether a fresh screenshot's top bar, at the window's middle, has this
  // colour: painted, and with that palette.
  std::function<bool()> top_bar_is(const Geometry& g, const std::string& shot,
                                   const std::string& colour) {
    return [this, g, shot, colour] {
      return pixel(screenshot(shot), g.x + g.width / 2, g.y + 2) == colour;
    };
  }
  std::string property(const std::string& window, const std::string& name) {
    return run_output({which("xprop")->string(), "-id", window, name}, program_env(),
                      tmp_.path() / "tools.log");
  }
  // A session bus of the test's own, announced to what it starts.
  void start_session_bus() {
    const fs::path socket = tmp_.path() / "bus";
    bus_ = spawn({which("dbus-daemon")->string(), "--session", "--nofork",
                  "--address=unix:path=" + socket.string()},
                 clean_environment({}), tmp_.path() / "dbus.log");
    ASSERT_GT(bus_.pid, 0);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (!fs::exists(socket) && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(fs::exists(socket)) << read_file(tmp_.path() / "dbus.log");
    extra_env_.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + socket.string());
  }
  void TearDown() override {
    for (Child* c : {&portal_, &bus_}) {
      if (c->pid > 0 && c->running()) {
        kill(c->pid, SIGTERM);
        if (!c->wait(10000)) c->kill_hard();
      }
    }
    ProgramWindow::TearDown();
  }

  Child bus_;
  Child portal_;
};

TEST_F(Desktop, OpensADeviceByPathAndFollowsItsByIdLink) {
  auto first = std::make_unique<test::PtyPair>();
  auto second = std::make_unique<test::PtyPair>();
  ASSERT_TRUE(first->ok() && second->ok());
  const fs::path link = tmp_.path() / "by-id" / "usb-Lab_Probe_P1-if00";
  fs::create_directories(link.parent_path());
  fs::create_symlink(first->path(), link);
  start_program({"--demo", "COM3=Arduino Uno=2341:0043:SER1", "--docs", docs_.string()});
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty()) << read_file(log());

  // The entry after the port's row, its dialog, the path, Enter: a tab on
  // the device, whose send field has the focus.
  bool opened = false;
  for (int attempt = 0; attempt < 5 && !opened; ++attempt) {
    xdotool({"windowfocus", "--sync", window});
    keys({"Escape"});
    click(window, kEntryX, kEntryY);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    keys({"ctrl+a"});
    type(link.string());
    keys({"Return"});
    opened = send_until_received(window, *first, "hello");
  }
  ASSERT_TRUE(opened) << read_file(log());
  screenshot("linewick_linux_by_path.png");

  // Unplugged and plugged in as another device: the link now leads to the
  // second terminal. The same tab opens it again by itself.
  second->close_port_side();
  first.reset();
  const fs::path fresh = link.string() + ".new";
  fs::create_symlink(second->path(), fresh);
  fs::rename(fresh, link);
  ASSERT_TRUE(wait_for([&] { return second->port_side_open(); }, 60)) << read_file(log());
  EXPECT_TRUE(send_until_received(window, *second, "again")) << read_file(log());
  screenshot("linewick_linux_by_id_reconnected.png");
  // The path is kept for the next start.
  FileSettings s = settings();
  EXPECT_EQ(s.get_text("AddedPorts"), link.string());
  stop_program();
}

TEST_F(Desktop, TheWindowIsTheApplicationAndItsFrameFollowsThePortal) {
  if (!which("dbus-daemon") || !which("xprop")) GTEST_SKIP() << "dbus-daemon or xprop missing";
  start_session_bus();
  const fs::path scheme = tmp_.path() / "scheme";
  std::ofstream(scheme) << "1\n";  // prefers dark
  portal_ = spawn({FAKE_PORTAL, scheme.string()}, program_env(), tmp_.path() / "portal.log");
  ASSERT_TRUE(wait_for_text(tmp_.path() / "portal.log", "ready"))
      << read_file(tmp_.path() / "portal.log");
  start_program();
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty()) << read_file(log());

  // The desktop matches the window to com.quorvane.linewick.desktop by it.
  EXPECT_NE(property(window, "WM_CLASS").find("\"" LINEWICK_APP_ID "\", \"" LINEWICK_APP_ID "\""),
            std::string::npos)
      << property(window, "WM_CLASS");

  // Dark from the portal: the content and the frame GTK asks the window
  // manager for.
  const auto variant = [&] { return property(window, "_GTK_THEME_VARIANT"); };
  ASSERT_TRUE(wait_for([&] { return variant().find("\"dark\"") != std::string::npos; }, 30))
      << variant();
  const Geometry g = geometry(window);
  EXPECT_TRUE(wait_for(top_bar_is(g, "linewick_linux_portal_dark.png", "#222327"), 30));

  // The desktop switches to light: both follow at once.
  std::ofstream(scheme) << "2\n";
  kill(portal_.pid, SIGUSR1);
  EXPECT_TRUE(wait_for([&] { return variant().find("\"dark\"") == std::string::npos; }, 30))
      << variant();
  EXPECT_TRUE(wait_for(top_bar_is(g, "linewick_linux_portal_light.png", "#FFFFFF"), 30));
  stop_program();
}

// The words a Linux user knows, in the no-tab card, the port list and the
// main menu's language choices: looked at by people, in four screenshots
// and four more with the menu open.
TEST_F(Desktop, LinuxWordsInEnglishAndGermanLightAndDark) {
  const fs::path home = tmp_.path() / "home";
  fs::create_directories(home / "Documents");
  for (const char* language : {"en", "de"}) {
    for (const bool dark : {false, true}) {
      SCOPED_TRACE(std::string(language) + (dark ? " dark" : " light"));
      extra_env_ = {"HOME=" + home.string(), std::string("LANGUAGE=") + language};
      if (dark) extra_env_.push_back("GTK_THEME=Adwaita:dark");
      start_program({"--demo", kDemoList});
      const std::string window = wait_for_window();
      ASSERT_FALSE(window.empty()) << read_file(log());
      const std::string name =
          std::string("linewick_linux_words_") + language + (dark ? "_dark" : "_light");
      const Geometry g = geometry(window);
      EXPECT_TRUE(wait_for(top_bar_is(g, name + ".png", dark ? "#222327" : "#FFFFFF"), 30));
      // The main menu, its language group open: "Follow the system". Only
      // looked at, so a pause for the menu to show is enough.
      xdotool({"windowfocus", "--sync", window});
      click(window, g.width - 28, 24);
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      keys({"Up", "Up", "Up", "Up", "Up", "Right"});
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      screenshot(name + "_menu.png");
      keys({"Escape", "Escape"});
      stop_program();
    }
  }
}

}  // namespace
}  // namespace lw::window_test
