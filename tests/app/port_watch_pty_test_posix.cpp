// Flashing a board while the tab keeps watching, over real pseudo-terminals
// and a real second process: the tab lets go, the other program opens the
// port (by each convention, or none), writes to the device and closes it,
// and the tab opens the port again at its first look after that, with the
// first line the device sent after the release in the log and the recording.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app.h"
#include "app/fake_ports.h"
#include "app/port_watch.h"
#include "files/file_names.h"
#include "host/host_headless.h"
#include "log/display.h"
#include "serial/lock_folder.h"
#include "serial/other_program_posix.h"
#include "serial/port_locks.h"
#include "serial/pty_pair.h"
#include "serial/system_port_system.h"
#include "support/memory_settings.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

using test::OtherProgram;

class PortWatchPty : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ASSERT_TRUE(pty.ok());
    AppOptions options;
    options.docs = dir_ / "docs";
    auto a = std::make_unique<App>(host, settings, ports, options, nullptr);
    app = a.get();
    app->start();
    host.slot().install(std::move(a));
  }
  void TearDown() override {
    host.slot().take();  // readers stop before the terminal goes
    std::error_code ec;
    std::filesystem::remove(lock_file(), ec);
    TempFolderTest::TearDown();
  }

  Session& open_tab() { return app->open_tab(PortInfo{pty.path(), "Pty board", {}, {}}); }
  Session& tab() { return *app->state().sessions.at(0); }
  std::string lock_file() const {
    return (test::test_lock_folder() / uucp_lock_name(pty.path())).string();
  }
  std::vector<std::string> log_texts() {
    std::vector<std::string> out;
    tab().log.for_each_from(
        0, [&](uint64_t, const LineRecord& r) { out.push_back(line_text(r, false)); });
    return out;
  }
  // The last line that starts so.
  size_t line_index(std::string_view start) {
    const std::vector<std::string> lines = log_texts();
    for (size_t i = lines.size(); i-- > 0;) {
      if (lines[i].starts_with(start)) return i;
    }
    return SIZE_MAX;
  }
  bool drain_until_line(std::string_view text) {
    return test::wait_until([&] {
      host.pump();
      if (tab().channel) app->drain(tab());
      return line_index(text) != SIZE_MAX;
    });
  }
  // One tick of the watch timer.
  void tick() {
    clock.mono += kPortWatchPeriodMs;
    host.pump();
  }
  std::string recorded() {
    app->toggle_record(tab());  // flushed and closed
    const auto file =
        dir_ / "docs" /
        recording_file_name(tab().port_name, tab().description, format_date(clock.wall.load()), 1);
    return read(file);
  }

  test::PtyPair pty;
  test::SharedClock clock;
  HeadlessHost host{clock};
  test::MemorySettings settings;
  SystemPortSystem ports{test::test_lock_places()};
  App* app = nullptr;
};

TEST_F(PortWatchPty, TheTabLetsGoWaitsAndIsBackAtItsFirstLookAfterTheRelease) {
  struct Case {
    const char* what;
    OtherProgram::Lock lock;
  };
  const Case cases[] = {
      {"a plain open, no lock", OtherProgram::Lock::none},
      {"a UUCP lock file", OtherProgram::Lock::uucp},
      {"flock and exclusive mode", OtherProgram::Lock::exclusive},
  };
  open_tab();
  ASSERT_TRUE(tab().is_open());
  app->toggle_record(tab());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = std::string("before, ") + c.what;
    ASSERT_TRUE(pty.send(before + "\r\n"));
    ASSERT_TRUE(drain_until_line(before));

    app->release_port(tab());
    ASSERT_EQ(tab().state.kind, ConnectionKind::Waiting);
    ASSERT_EQ(log_texts().back().find("── Let go "), 0u);

    OtherProgram other(pty.path(), c.lock, lock_file());
    ASSERT_TRUE(other.opened());
    // Nobody took it at the first look; a few ticks on, the flasher is seen.
    for (int i = 0; i < 5 && !tab().watch->taken; ++i) tick();
    ASSERT_TRUE(tab().is_waiting());
    ASSERT_TRUE(tab().watch->holder);
    EXPECT_EQ(tab().watch->holder->pid, other.pid());
    ASSERT_TRUE(other.write("FIRMWARE"));
    EXPECT_EQ(pty.receive(8), "FIRMWARE");  // it had the port
    tick();
    EXPECT_TRUE(tab().is_waiting());  // still held

    // The flasher lets go and the new firmware speaks before anyone reads.
    ASSERT_TRUE(other.close_port());
    const std::string first = std::string("first after the release, ") + c.what;
    ASSERT_TRUE(pty.send(first + "\r\n"));
    tick();
    ASSERT_TRUE(tab().is_open()) << "not open at the first look after the release";
    ASSERT_TRUE(drain_until_line(first));
    EXPECT_LT(line_index(before), line_index("── Let go "));
    EXPECT_LT(line_index("── Reconnected "), line_index(first));
    const std::vector<std::string> lines = log_texts();
    EXPECT_EQ(lines.at(line_index("── Reconnected ") + 1), first);  // nothing lost, nothing else
    if (c.lock == OtherProgram::Lock::uucp) {
      // The flasher's lock went with it; the tab's own is there now.
      EXPECT_EQ(read(lock_file()), uucp_lock_text(::getpid()));
    }
  }
  const std::string file = recorded();
  for (const Case& c : cases) {
    const size_t first = file.find(std::string("first after the release, ") + c.what);
    EXPECT_NE(first, std::string::npos) << c.what << "\n" << file;
  }
  EXPECT_EQ(tab().reconnects, 3u);
}

TEST_F(PortWatchPty, ATabWhoseOpenFoundThePortBusyOpensItWhenTheOtherProgramLetsGo) {
  OtherProgram other(pty.path(), OtherProgram::Lock::none);
  ASSERT_TRUE(other.opened());
  open_tab();
  ASSERT_EQ(tab().state.kind, ConnectionKind::Waiting);
  ASSERT_TRUE(tab().watch->holder);
  EXPECT_EQ(tab().watch->holder->pid, other.pid());
  tick();
  tick();
  EXPECT_TRUE(tab().is_waiting());

  ASSERT_TRUE(other.close_port());
  ASSERT_TRUE(pty.send("hello from the board\r\n"));
  tick();
  ASSERT_TRUE(tab().is_open());
  ASSERT_TRUE(drain_until_line("hello from the board"));
  EXPECT_EQ(log_texts().front(), "hello from the board");  // a first open: no mark
}

}  // namespace
}  // namespace lw
