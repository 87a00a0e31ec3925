// The real program on a virtual X display: it starts in demo mode, takes
// commands on its control socket, closes cleanly on SIGTERM and keeps its
// window size; and the two ways it ends before any window.
#include <gtest/gtest.h>

#include "program_fixture_linux.h"

namespace lw::window_test {
namespace {

TEST_F(ProgramWindow, RunsInDemoModeTakesControlLinesAndKeepsItsSize) {
  {
    FileSettings s = settings();
    // A value of the right length but not ours: ignored, default size.
    set_placement(s, std::vector<uint8_t>(kPlacementSize, 0x2C));
    // A device that arrives opens in a tab of its own.
    s.set_dword("AutoOpen", 1);
  }
  start_program();
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty()) << read_file(log());
  // 1180 wide and 82 % of the work area's height (the whole screen here).
  const WindowSize shown = window_size(window);
  EXPECT_EQ(shown.width, 1180);
  EXPECT_EQ(shown.height, 738);

  // The control socket: owner-only.
  const auto socket_end = Clock::now() + std::chrono::seconds(30);
  while (!fs::exists(socket_path()) && Clock::now() < socket_end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(fs::is_socket(socket_path()));
  EXPECT_EQ(fs::status(socket_path().parent_path()).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(socket_path()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);

  // Unplug the first device and plug it in again: it arrives and opens,
  // which starts its reader thread. Lines that are no commands change nothing.
  ASSERT_TRUE(send_line(socket_path(), "30 0\n31 x\n99 1\n"));
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  const size_t threads_before = thread_count();
  ASSERT_TRUE(send_line(socket_path(), "30 0\n"));
  const auto open_end = Clock::now() + std::chrono::seconds(30);
  while (thread_count() <= threads_before && Clock::now() < open_end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // its banner arrives
  ASSERT_TRUE(program_.running()) << read_file(log());
  // Unplugged while open: the tab is cut and what it had is saved.
  ASSERT_TRUE(send_line(socket_path(), "30 0\n"));
  EXPECT_TRUE(wait_for_disconnect_file()) << read_file(log());
  ASSERT_TRUE(program_.running()) << read_file(log());

  const fs::path shot = screenshot("linewick_linux_demo.png");
  ASSERT_TRUE(fs::exists(shot)) << read_file(tmp_.path() / "tools.log");
  // Painted with the light palette: the top bar is white, the screen
  // around the window black.
  const Geometry g = geometry(window);
  EXPECT_EQ(pixel(shot, g.x + g.width / 2, g.y + 2), "#FFFFFF");
  EXPECT_EQ(pixel(shot, g.x / 2, g.y / 2), "#000000");

  stop_program();
  EXPECT_FALSE(fs::exists(socket_path()));
  EXPECT_EQ(saved_size(), (WindowSize{1180, 738, false}));
}

TEST_F(ProgramWindow, OpensAtTheSavedSize) {
  {
    FileSettings s = settings();
    set_placement(s, encode_window_size({1000, 640, false}));
  }
  start_program();
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty()) << read_file(log());
  EXPECT_EQ(window_size(window), (WindowSize{1000, 640, false}));
  stop_program();
  EXPECT_EQ(saved_size(), (WindowSize{1000, 640, false}));
}

TEST_F(ProgramWindow, PaintsDarkOnADarkDesktop) {
  extra_env_ = {"GTK_THEME=Adwaita:dark"};
  start_program();
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty()) << read_file(log());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the first frame
  const fs::path shot = screenshot("linewick_linux_dark.png");
  ASSERT_TRUE(fs::exists(shot)) << read_file(tmp_.path() / "tools.log");
  const Geometry g = geometry(window);
  EXPECT_EQ(pixel(shot, g.x + g.width / 2, g.y + 2), "#222327");  // the dark top bar
  stop_program();
}

class ProgramWithoutWindow : public testing::Test {
 protected:
  TempFolder tmp_;
  int run(const std::vector<std::string>& args, std::string* errors) {
    std::vector<std::string> argv{LINEWICK_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    const fs::path out = tmp_.path() / "out.log";
    Child c = spawn(argv,
                    clean_environment({"XDG_CONFIG_HOME=" + (tmp_.path() / "config").string(),
                                       "LANGUAGE=en", "LANG=C.UTF-8"}),
                    out);
    if (c.pid <= 0 || !c.wait(60000)) {
      c.kill_hard();
      return -1;
    }
    *errors = read_file(out);
    return WIFEXITED(*c.status) ? WEXITSTATUS(*c.status) : -1;
  }
};

TEST_F(ProgramWithoutWindow, UnregisterForgetsEverythingAndNeedsNoDisplay) {
  {
    FileSettings s(tmp_.path() / "config" / "Linewick");
    s.set_dword("AutoOpen", 1);
    s.set_text("Ending", "x", kDevicesSubkey);
  }
  std::string errors;
  EXPECT_EQ(run({"--demo", kDemoList, "--unregister"}, &errors), 0) << errors;
  FileSettings s(tmp_.path() / "config" / "Linewick");
  EXPECT_FALSE(s.get_dword("AutoOpen").has_value());
  EXPECT_FALSE(s.get_text("Ending", kDevicesSubkey).has_value());
}

TEST_F(ProgramWithoutWindow, SaysWhyWithoutADisplay) {
  std::string errors;
  EXPECT_EQ(run({"--demo", kDemoList}, &errors), 1);
  EXPECT_NE(
      errors.find("Linewick needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)"),
      std::string::npos)
      << errors;
}

}  // namespace
}  // namespace lw::window_test
