// Ports named by their path, over real pseudo-terminals, through the whole
// application on the headless host: the port list's entry and its dialog,
// the three ways a path can be no port for this account, and a by-id link
// that moves to another device while its tab is open.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include "files/utf8_path.h"
#include "script.h"
#include "serial/pty_pair.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

class PathFlows : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "lw-paths-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    fs::create_directories(dir_ / "settings");
    fs::create_directories(dir_ / "by-id");
  }
  void TearDown() override { fs::remove_all(dir_); }

  ScriptResult run(const std::string& script, ScriptOptions o = {}) {
    o.args.insert(o.args.end(), {"--docs", utf8_from_path(dir_ / "docs")});
    o.settings_dir = dir_ / "settings";
    ScriptResult r = run_script(o, script);
    EXPECT_TRUE(r.ok) << r.error << "\n" << r.output;
    return r;
  }
  std::string stored_settings() const {
    std::ifstream in(dir_ / "settings" / "settings.conf", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Points the link at target in one step, as udev replaces a by-id link.
  static std::string relink(const fs::path& link, const std::string& target) {
    const fs::path fresh = link.string() + ".new";
    std::error_code ec;
    fs::remove(fresh, ec);
    fs::create_symlink(target, fresh, ec);
    if (!ec) fs::rename(fresh, link, ec);
    return ec ? ec.message() : std::string{};
  }

  fs::path dir_;
};

TEST_F(PathFlows, TheListsEntryOpensAPathAndItsLinesArriveWithTimes) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ScriptOptions o;
  o.calls["device prints"] = [&] {
    return pty.send("T=21.5 H=40\r\nready\r\n") ? "" : "the far end took no bytes";
  };
  const ScriptResult r =
      run("click open_by_path\n"
          "print field\n"
          "key a ctrl\n"
          "type " +
              pty.path() +
              "\n"
              "key enter\n"
              "call device prints\n"
              "until ready\n"
              "print ports\n",
          o);
  // The dialog starts with the folder of devices.
  EXPECT_NE(r.output.find("field dialog: \"/dev/\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("  " + pty.path() + " [added]\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("session 0: " + pty.path() + " state=Open"), std::string::npos)
      << r.output;
  EXPECT_TRUE(
      std::regex_search(r.output, std::regex(R"(\n  \d\d:\d\d:\d\d\.\d{3}  T=21\.5 H=40\n)")))
      << r.output;
  // Kept for the next start.
  EXPECT_NE(stored_settings().find("AddedPorts=text:" + pty.path()), std::string::npos)
      << stored_settings();
}

TEST_F(PathFlows, PathsThatAreNoPortSayWhyAndAreNotKept) {
  std::ofstream(dir_ / "notes.txt") << "hello\n";
  const ScriptResult r = run("openpath " + (dir_ / "nothing-here").string() +
                             "\n"
                             "openpath " +
                             (dir_ / "notes.txt").string() +
                             "\n"
                             "openpath /dev/null\n"
                             "openpath " +
                             dir_.string() + "\n");
  const auto state = [&](int i, const std::string& path, const std::string& why) {
    const std::string line = "session " + std::to_string(i) + ": " + path + " state=Failed";
    const size_t at = r.output.find(line);
    ASSERT_NE(at, std::string::npos) << r.output;
    const std::string rest = r.output.substr(at, r.output.find('\n', at) - at);
    EXPECT_NE(rest.find("why=\"" + why + "\""), std::string::npos) << rest;
  };
  state(0, (dir_ / "nothing-here").string(), "The port isn't there (it may have been unplugged)");
  state(1, (dir_ / "notes.txt").string(),
        "That isn't a serial device: " + (dir_ / "notes.txt").string());
  state(2, "/dev/null", "That isn't a serial device: /dev/null");
  state(3, dir_.string(), "That isn't a serial device: " + dir_.string());
  EXPECT_EQ(stored_settings().find("AddedPorts"), std::string::npos) << stored_settings();
}

// A terminal closed to the driver's account: mode 0, and as root (who may
// open anything) the driver runs as nobody.
TEST_F(PathFlows, APortTheAccountMayNotOpenNamesTheDialoutGroup) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(chmod(pty.path().c_str(), 0), 0);
  fs::permissions(dir_, fs::perms::all);
  fs::permissions(dir_ / "settings", fs::perms::all);
  const fs::path out = dir_ / "out.txt";
  const fs::path script = dir_ / "script.txt";
  std::ofstream(script) << "openpath " << pty.path() << "\n";
  const std::string settings = (dir_ / "settings").string();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int in = ::open(script.c_str(), O_RDONLY);
    const int to = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || to < 0 || dup2(in, 0) < 0 || dup2(to, 1) < 0 || dup2(to, 2) < 0) _exit(90);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(91);
    execl(LINEWICK_DRIVER, LINEWICK_DRIVER, "--settings", settings.c_str(), nullptr);
    _exit(92);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  std::ifstream in(out);
  const std::string output{std::istreambuf_iterator<char>(in), {}};
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << output;
  EXPECT_NE(output.find("session 0: " + pty.path() + " state=Failed"), std::string::npos) << output;
  EXPECT_NE(output.find("why=\"Your account has no access to " + pty.path() +
                        ". Add it to the dialout group, then log in again\""),
            std::string::npos)
      << output;
  EXPECT_EQ(output.find("AddedPorts"), std::string::npos);
}

// Unplugged and plugged in again as another device: udev points the by-id
// link at the new device file. Here the link moves from one pseudo-terminal
// to another in one step while the first goes away.
TEST_F(PathFlows, AByIdLinkThatMovesReopensTheSameTab) {
  auto first = std::make_unique<test::PtyPair>();
  auto second = std::make_unique<test::PtyPair>();
  ASSERT_TRUE(first->ok() && second->ok());
  const fs::path link = dir_ / "by-id" / "usb-Lab_Probe_P1-if00";
  fs::create_symlink(first->path(), link);
  ScriptOptions o;
  o.args = {"--port", link.string()};
  o.calls["first prints"] = [&] { return first->send("A1\r\n") ? "" : "no room"; };
  o.calls["replug"] = [&] {
    first.reset();  // the device goes away: its port hangs up
    return relink(link, second->path());
  };
  o.calls["second prints"] = [&] { return second->send("B1\r\n") ? "" : "no room"; };
  const ScriptResult r =
      run("call first prints\n"
          "until A1\n"
          "call replug\n"
          "until ── Reconnected\n"
          "call second prints\n"
          "until B1\n",
          o);
  EXPECT_NE(r.output.find("session 0: " + link.string() +
                          " state=Open lines=4 received=2 bytes=8 disconnects=1 reconnects=1"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(r.output.find("session 1:"), std::string::npos) << r.output;
  const size_t a1 = r.output.find("  A1\n");
  const size_t lost = r.output.find("── Disconnected ");
  const size_t back = r.output.find("── Reconnected ");
  const size_t b1 = r.output.find("  B1\n");
  ASSERT_NE(b1, std::string::npos) << r.output;
  EXPECT_LT(a1, lost);
  EXPECT_LT(lost, back);
  EXPECT_LT(back, b1);
}

}  // namespace
}  // namespace lw
