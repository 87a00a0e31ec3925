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

// The window at three sizes, light and dark, in English and in Korean: a
// demo device's tab with a command sent. Each state is kept as
// linewick_linux_WxH_THEME_LANG.png in the build folder for a person to
// look at; the test checks the size and the theme of each.
TEST_F(ProgramWindow, ScreenshotsAtEachSizeThemeAndLanguage) {
  const std::pair<int, int> sizes[] = {{900, 560}, {1180, 760}, {1400, 900}};
  int shots = 0;
  for (const char* language : {"en", "ko"}) {
    for (const bool dark : {false, true}) {
      {
        FileSettings s = settings();
        s.set_text("Language", language);
        s.set_dword("AutoUpdate", 0);
        set_placement(s, encode_window_size({sizes[0].first, sizes[0].second, false}));
      }
      extra_env_.clear();
      if (dark) extra_env_.push_back("GTK_THEME=Adwaita:dark");
      start_program();
      const std::string window = wait_for_window();
      ASSERT_FALSE(window.empty()) << read_file(log());
      // The first port's row opens its tab (its reader is a thread of the
      // program's name; a click while the window is still being mapped can
      // be lost, so it is repeated); a command goes from the send field, 60
      // into it, in the middle of the bottom bar.
      bool opened = false;
      for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
        xdotool({"windowfocus", "--sync", window});
        xdotool({"mousemove", "--window", window, "140", "119", "click", "1"});
        const auto end = Clock::now() + std::chrono::seconds(3);
        while (!opened && Clock::now() < end) {
          opened = named_threads() >= 2;
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
      }
      ASSERT_TRUE(opened) << "clicking the port row opened no port";
      xdotool({"mousemove", "--window", window, std::to_string(236 + 12 + 60),
               std::to_string(sizes[0].second - 29), "click", "1"});
      xdotool({"type", "--delay", "40", "*IDN?"});
      xdotool({"key", "Return"});
      // Growing sizes: each grows into area only the program's next frame
      // paints, in its top bar's and its port list's colours (GTK's own
      // background is neither).
      const std::string top_bar = dark ? "#222327" : "#FFFFFF";
      const std::string port_list = dark ? "#1C1D21" : "#F8F9FB";
      for (const auto& [w, h] : sizes) {
        // At the screen's corner, so the largest size is all on it.
        xdotool({"windowmove", "--sync", window, "0", "0"});
        xdotool({"windowsize", "--sync", window, std::to_string(w), std::to_string(h)});
        const std::string name = "linewick_linux_" + std::to_string(w) + "x" + std::to_string(h) +
                                 (dark ? "_dark_" : "_light_") + language + ".png";
        const fs::path shot = fs::path(LINEWICK_SHOT_DIR) / name;
        const auto painted = [&] {
          fs::remove(shot);
          run_output({which("import")->string(), "-window", window, shot.string()}, program_env(),
                     tmp_.path() / "tools.log");
          return fs::exists(shot) &&
                 run_output({which("identify")->string(), "-format", "%wx%h", shot.string()},
                            program_env(), tmp_.path() / "tools.log") ==
                     std::to_string(w) + "x" + std::to_string(h) &&
                 pixel(shot, w - 3, 2) == top_bar && pixel(shot, 3, h - 3) == port_list;
        };
        bool drawn = false;
        const auto end = Clock::now() + std::chrono::seconds(30);
        while (!drawn && Clock::now() < end && program_.running()) drawn = painted();
        ASSERT_TRUE(program_.running()) << read_file(log());
        EXPECT_TRUE(drawn) << name << " was not painted at its size in its theme";
        EXPECT_EQ(window_size(window), (WindowSize{w, h, false})) << name;
        ++shots;
      }
      stop_program();
    }
  }
  EXPECT_EQ(shots, 12);
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
