#pragma once
// The real program on a virtual X display: starting it with its own
// settings, runtime folder and display, looking at its window with xdotool,
// ImageMagick and screenshots, and stopping it the polite way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/window_size.h"
#include "settings/settings_file.h"
#include "settings/values.h"

extern char** environ;

namespace lw::window_test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline std::optional<fs::path> which(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const fs::path p = fs::path(dir) / name;
    if (!dir.empty() && access(p.c_str(), X_OK) == 0) return p;
  }
  return std::nullopt;
}

// The test's environment without anything that names a display, a session
// or the user's folders, plus `extra`; a name given in `extra` replaces the
// environment's, and a later one an earlier one.
inline std::vector<std::string> clean_environment(const std::vector<std::string>& extra) {
  static const char* const dropped[] = {
      "DISPLAY=",  "WAYLAND_DISPLAY=", "XDG_",         "DBUS_SESSION_BUS_ADDRESS=",
      "LANGUAGE=", "LC_ALL=",          "LC_MESSAGES=", "LANG="};
  const auto name_of = [](std::string_view v) { return v.substr(0, v.find('=') + 1); };
  std::vector<std::string> env;
  for (auto e = extra.rbegin(); e != extra.rend(); ++e) {
    const std::string_view name = name_of(*e);
    bool later = false;
    for (const std::string& kept : env) later = later || kept.starts_with(name);
    if (!later) env.insert(env.begin(), *e);
  }
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view v(*e);
    bool keep = true;
    for (const char* d : dropped) keep = keep && !v.starts_with(d);
    for (const std::string& mine : extra) keep = keep && !v.starts_with(name_of(mine));
    if (keep) env.emplace_back(v);
  }
  return env;
}

struct Child {
  pid_t pid = -1;
  std::optional<int> status;  // once it has been waited for

  bool running() {
    if (status) return false;
    int s = 0;
    if (waitpid(pid, &s, WNOHANG) == pid) status = s;
    return !status;
  }
  // Waits at most timeout_ms; true when it has ended.
  bool wait(int timeout_ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (running() && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !running();
  }
  void kill_hard() {
    if (running()) {
      kill(pid, SIGKILL);
      wait(10000);
    }
  }
};

// Starts argv with env; stdout and stderr go to the file `output` (or
// stdout into the pipe fd `out_fd` when given).
inline Child spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   const fs::path& output, int out_fd = -1) {
  std::vector<char*> a;
  for (const std::string& s : argv) a.push_back(const_cast<char*>(s.c_str()));
  a.push_back(nullptr);
  std::vector<char*> e;
  for (const std::string& s : env) e.push_back(const_cast<char*>(s.c_str()));
  e.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&fa, out_fd, 1);
  } else {
    posix_spawn_file_actions_adddup2(&fa, 2, 1);
  }
  Child c;
  if (posix_spawn(&c.pid, a[0], &fa, nullptr, a.data(), e.data()) != 0) c.pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return c;
}

inline std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs a short command to its end and returns its standard output.
inline std::string run_output(const std::vector<std::string>& argv,
                              const std::vector<std::string>& env, const fs::path& errors) {
  int p[2];
  if (pipe2(p, O_CLOEXEC) != 0) return {};
  Child c = spawn(argv, env, errors, p[1]);
  close(p[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = read(p[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  close(p[0]);
  if (c.pid > 0 && !c.wait(60000)) c.kill_hard();
  return out;
}

inline bool send_line(const fs::path& socket_path, std::string_view line) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, socket_path.c_str(), sizeof addr.sun_path - 1);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  close(fd);
  return ok;
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "lw-window-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline constexpr const char* kDemoList =
    "COM3=Arduino Uno=2341:0043:5573932393735151F0C1;COM4=Flood";
inline constexpr int kScreenW = 1400;
inline constexpr int kScreenH = 900;

class ProgramWindow : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "Xvfb", "xdotool", "import", "convert", "identify"}) {
      if (!which(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    ASSERT_FALSE(tmp_.path().empty());
    config_ = tmp_.path() / "config";
    runtime_ = tmp_.path() / "runtime";
    docs_ = tmp_.path() / "docs";
    fs::create_directories(config_);
    fs::create_directories(docs_);
    fs::create_directory(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
    start_display();
  }
  void TearDown() override {
    program_.kill_hard();
    if (xvfb_.pid > 0 && xvfb_.running()) {
      kill(xvfb_.pid, SIGTERM);
      if (!xvfb_.wait(10000)) xvfb_.kill_hard();
    }
  }

  // Xvfb picks a free display number and writes it to the pipe when ready.
  void start_display() {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    fcntl(p[0], F_SETFD, FD_CLOEXEC);
    const std::string screen = std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + "x24";
    xvfb_ = spawn({which("Xvfb")->string(), "-displayfd", std::to_string(p[1]), "-screen", "0",
                   screen, "-nolisten", "tcp"},
                  clean_environment({}), tmp_.path() / "xvfb.log");
    close(p[1]);
    ASSERT_GT(xvfb_.pid, 0);
    std::string number;
    pollfd pfd{p[0], POLLIN, 0};
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < end && number.find('\n') == std::string::npos) {
      if (poll(&pfd, 1, 200) > 0) {
        char buf[32];
        const ssize_t n = read(p[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<size_t>(n));
      }
    }
    close(p[0]);
    ASSERT_NE(number.find('\n'), std::string::npos) << read_file(tmp_.path() / "xvfb.log");
    display_ = ":" + number.substr(0, number.find('\n'));
  }

  std::vector<std::string> program_env() const {
    std::vector<std::string> env{"DISPLAY=" + display_,
                                 "XDG_CONFIG_HOME=" + config_.string(),
                                 "XDG_RUNTIME_DIR=" + runtime_.string(),
                                 "GDK_BACKEND=x11",
                                 "NO_AT_BRIDGE=1",
                                 "LANGUAGE=en",
                                 "LANG=C.UTF-8"};
    env.insert(env.end(), extra_env_.begin(), extra_env_.end());
    return clean_environment(env);
  }
  fs::path socket_path() const { return runtime_ / "linewick" / "demo.sock"; }
  fs::path log() const { return tmp_.path() / "linewick.log"; }
  FileSettings settings() const { return FileSettings(config_ / "Linewick"); }

  std::string xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{which("xdotool")->string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_output(argv, program_env(), tmp_.path() / "tools.log");
  }

  void start_program() { start_program({"--demo", kDemoList, "--docs", docs_.string()}); }
  void start_program(const std::vector<std::string>& args) {
    std::vector<std::string> argv{LINEWICK_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    program_ = spawn(argv, program_env(), log());
    ASSERT_GT(program_.pid, 0);
  }

  // The program's visible top-level window, once it is mapped.
  std::string wait_for_window() {
    const auto end = Clock::now() + std::chrono::seconds(90);
    while (Clock::now() < end && program_.running()) {
      std::string id = xdotool({"search", "--onlyvisible", "--name", "^Linewick$"});
      if (const size_t nl = id.find('\n'); nl != std::string::npos) return id.substr(0, nl);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
  }

  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
  };
  Geometry geometry(const std::string& id) {
    std::istringstream in(xdotool({"getwindowgeometry", "--shell", id}));
    Geometry g;
    for (std::string line; std::getline(in, line);) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos || eq + 1 >= line.size()) continue;
      const std::string key = line.substr(0, eq);
      const int v = std::atoi(line.c_str() + eq + 1);
      if (key == "X") g.x = v;
      if (key == "Y") g.y = v;
      if (key == "WIDTH") g.width = v;
      if (key == "HEIGHT") g.height = v;
    }
    return g;
  }
  WindowSize window_size(const std::string& id) {
    const Geometry g = geometry(id);
    return WindowSize{g.width, g.height, false};
  }

  // A screenshot of the whole screen into the build folder, kept for people
  // to look at.
  fs::path screenshot(const std::string& name) {
    const fs::path shot = fs::path(LINEWICK_SHOT_DIR) / name;
    fs::remove(shot);
    run_output({which("import")->string(), "-window", "root", shot.string()}, program_env(),
               tmp_.path() / "tools.log");
    return shot;
  }
  // "#RRGGBB" of one pixel.
  std::string pixel(const fs::path& shot, int x, int y) {
    const std::string out =
        run_output({which("convert")->string(), shot.string(), "-crop",
                    "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-depth", "8", "txt:-"},
                   program_env(), tmp_.path() / "tools.log");
    // After the enumeration's header line: "0,0: (r,g,b)  #RRGGBB  srgb(...)".
    const size_t hash = out.find('#', out.find('\n'));
    return hash == std::string::npos ? out : out.substr(hash, 7);
  }

  // SIGTERM asks for the ordinary close; the program must end by itself.
  void stop_program() {
    ASSERT_TRUE(program_.running()) << read_file(log());
    kill(program_.pid, SIGTERM);
    ASSERT_TRUE(program_.wait(30000)) << "still running after SIGTERM";
    ASSERT_TRUE(WIFEXITED(*program_.status)) << "status " << *program_.status << "\n"
                                             << read_file(log());
    EXPECT_EQ(WEXITSTATUS(*program_.status), 0) << read_file(log());
  }

  size_t thread_count() const {
    std::error_code ec;
    size_t n = 0;
    for (fs::directory_iterator it(fs::path("/proc") / std::to_string(program_.pid) / "task", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec))
      ++n;
    return n;
  }

  // Threads that carry the program's name: the window's and the readers'.
  size_t named_threads() const {
    std::error_code ec;
    size_t n = 0;
    for (fs::directory_iterator it(fs::path("/proc") / std::to_string(program_.pid) / "task", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
      std::string comm = read_file(it->path() / "comm");
      if (comm == "linewick\n") ++n;
    }
    return n;
  }

  // The file a disconnect leaves in the --docs folder: two header lines
  // naming the port, then at least one line the device sent.
  bool wait_for_disconnect_file() {
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end) {
      std::error_code ec;
      for (const auto& e : fs::directory_iterator(docs_, ec)) {
        const std::string name = e.path().filename().string();
        if (!name.starts_with("COM3-") || !name.ends_with("-disconnected.txt")) continue;
        const std::string text = read_file(e.path());
        size_t lines = 0;
        for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
        if (text.find("COM3") != std::string::npos && lines >= 3) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  std::optional<WindowSize> saved_size() {
    FileSettings s = settings();
    std::optional<std::vector<uint8_t>> bytes = placement(s);
    if (!bytes) return std::nullopt;
    return decode_window_size(*bytes);
  }

  TempFolder tmp_;
  std::vector<std::string> extra_env_;
  fs::path config_, runtime_, docs_;
  std::string display_;
  Child xvfb_;
  Child program_;
};

}  // namespace lw::window_test
