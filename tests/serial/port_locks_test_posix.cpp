// A port another program holds is Busy and names that program, whichever
// convention the other program keeps: a plain open, a UUCP lock file,
// exclusive mode. Real pseudo-terminals, real second processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "serial/lock_folder.h"
#include "serial/port_locks.h"
#include "serial/pty_pair.h"
#include "serial/serial_port.h"

extern char** environ;

namespace lw {
namespace {

namespace fs = std::filesystem;

// A second process, killed and reaped when the test is done with it.
class Child {
 public:
  Child() = default;
  explicit Child(pid_t pid) : pid_(pid) {}
  Child(Child&& o) noexcept : pid_(std::exchange(o.pid_, -1)) {}
  Child& operator=(Child&&) = delete;
  ~Child() { stop(); }
  pid_t pid() const { return pid_; }
  void stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// `sleep 60`, with the device open as its standard input when one is given:
// a program that holds a port without any lock. Returned once it runs sleep.
Child sleeper(const std::string& hold = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!hold.empty()) {
    posix_spawn_file_actions_addopen(&actions, 0, hold.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK, 0);
  }
  char arg0[] = "sleep";
  char arg1[] = "60";
  char* argv[] = {arg0, arg1, nullptr};
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, "sleep", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  Child child(rc == 0 ? pid : -1);
  // The process gets its new name a moment after the spawn returns.
  const std::string comm = "/proc/" + std::to_string(pid) + "/comm";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (child.pid() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(comm);
    std::string name;
    if (std::getline(in, name) && name == "sleep") break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return child;
}

// A process that opens the device, makes it exclusive (TIOCEXCL) and waits.
Child exclusive_holder(const std::string& path) {
  int ready[2];
  if (::pipe(ready) != 0) return Child();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only what is safe after fork; nothing of the test's descriptors is kept.
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != ready[1]) ::close(fd);
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 || ::ioctl(fd, TIOCEXCL) != 0) ::_exit(1);
    if (::write(ready[1], "x", 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char c = 0;
  const bool ok = pid > 0 && ::read(ready[0], &c, 1) == 1;
  ::close(ready[0]);
  Child child(pid);
  if (!ok) child.stop();
  return child;
}

std::unique_ptr<Port> opened(Result<std::unique_ptr<Port>, OpenError> r) {
  return r.ok() ? std::move(*r) : nullptr;
}

bool exclusive(int fd) {
  int on = 0;
  return ::ioctl(fd, TIOCGEXCL, &on) == 0 && on != 0;
}

class PortLocks : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty_.ok()); }
  void TearDown() override {
    ::ioctl(pty_.near_fd(), TIOCNXCL);
    std::error_code ec;
    fs::remove(lock_file(), ec);
  }
  Result<std::unique_ptr<Port>, OpenError> open() {
    return open_port(pty_.path(), {}, test::test_lock_places());
  }
  fs::path lock_file() const { return test::test_lock_folder() / uucp_lock_name(pty_.path()); }
  std::string lock_text() const {
    std::ifstream in(lock_file(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void write_lock(const std::string& text) { std::ofstream(lock_file(), std::ios::binary) << text; }
  void expect_busy_by(const Result<std::unique_ptr<Port>, OpenError>& r, pid_t pid,
                      const std::string& program) {
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().failure, OpenFailure::Busy);
    ASSERT_TRUE(r.error().holder);
    EXPECT_EQ(r.error().holder->pid, pid);
    if (!program.empty()) {
      EXPECT_EQ(r.error().holder->program, program);
    }
  }

  test::PtyPair pty_;
};

TEST_F(PortLocks, AProgramWithThePortOpenIsNamedUntilItLetsGo) {
  Child other = sleeper(pty_.path());
  ASSERT_GT(other.pid(), 0);
  expect_busy_by(open(), other.pid(), "sleep");
  EXPECT_EQ(port_holder(pty_.path(), test::test_lock_places()), (PortHolder{other.pid(), "sleep"}));
  EXPECT_FALSE(fs::exists(lock_file()));

  other.stop();
  EXPECT_EQ(port_holder(pty_.path(), test::test_lock_places()), std::nullopt);
  EXPECT_TRUE(open().ok());
}

TEST_F(PortLocks, ALiveLockFileIsBusyAStaleOneIsTakenOverAndOursGoesAtClose) {
  Child other = sleeper();
  ASSERT_GT(other.pid(), 0);
  write_lock(uucp_lock_text(other.pid()));
  expect_busy_by(open(), other.pid(), "sleep");
  EXPECT_EQ(lock_text(), uucp_lock_text(other.pid()));  // not ours to remove

  other.stop();  // its lock is stale now
  std::unique_ptr<Port> port = opened(open());
  ASSERT_TRUE(port);
  EXPECT_EQ(lock_text(), uucp_lock_text(::getpid()));
  port.reset();
  EXPECT_FALSE(fs::exists(lock_file()));
}

TEST_F(PortLocks, NoLockFolderThatCanBeWrittenIsNoReasonNotToOpen) {
  const fs::path not_a_folder = test::test_lock_folder() / "a-file";
  std::ofstream(not_a_folder) << "x";
  const LockPlaces unusable[] = {{{test::test_lock_folder() / "missing"}}, {{not_a_folder}}, {}};
  for (const LockPlaces& places : unusable) EXPECT_TRUE(opened(open_port(pty_.path(), {}, places)));
  fs::remove(not_a_folder);
}

TEST_F(PortLocks, AnExclusivePortIsBusyEvenForRootAndStaysExclusive) {
  Child other = exclusive_holder(pty_.path());
  ASSERT_GT(other.pid(), 0);
  expect_busy_by(open(), other.pid(), "");
  EXPECT_TRUE(exclusive(pty_.near_fd())) << "the other program's exclusive mode was cleared";
}

TEST_F(PortLocks, ClosingClearsOnlyTheExclusiveModeThisPortSet) {
  std::unique_ptr<Port> port = opened(open());
  ASSERT_TRUE(port);
  EXPECT_TRUE(exclusive(pty_.near_fd()));
  port.reset();
  EXPECT_FALSE(exclusive(pty_.near_fd()));
}

TEST_F(PortLocks, APseudoTerminalPairMadeBySocatOpens) {
  // socat keeps both ends of its terminals open; holding the far end makes it
  // the device, not another user of the port.
  const fs::path dir = test::test_lock_folder() / "socat";
  fs::create_directories(dir);
  const std::string a = (dir / "a").string();
  const std::string b = (dir / "b").string();
  const std::string arg_a = "pty,raw,echo=0,link=" + a;
  const std::string arg_b = "pty,raw,echo=0,link=" + b;
  char arg0[] = "socat";
  char* argv[] = {arg0, const_cast<char*>(arg_a.c_str()), const_cast<char*>(arg_b.c_str()),
                  nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawnp(&pid, "socat", nullptr, nullptr, argv, environ), 0);
  Child socat(pid);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!(fs::exists(a) && fs::exists(b)) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(fs::exists(a) && fs::exists(b));

  EXPECT_EQ(port_holder(a, test::test_lock_places()), std::nullopt);
  EXPECT_TRUE(opened(open_port(a, {}, test::test_lock_places())));
  // Not so another program on the same terminal.
  Child other = sleeper(a);
  expect_busy_by(open_port(a, {}, test::test_lock_places()), other.pid(), "sleep");
  socat.stop();
  fs::remove_all(dir);
}

// Waits (ten seconds at most) until bytes the device side sent wait for the port.
bool queued_soon(const test::PtyPair& pty) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (pty.queued_for_port() <= 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// A look at a port tells whether another program holds it without opening
// it (which would raise the modem lines and restart many boards).
TEST_F(PortLocks, ALookSeesTheHolderByEveryConventionAndMissingDevices) {
  const LockPlaces places = test::test_lock_places();
  EXPECT_EQ(look_at_port(pty_.path(), places, std::nullopt).use, PortLook::Use::Free);
  EXPECT_EQ(look_at_port("/dev/pts/no-such-terminal", places, std::nullopt).use,
            PortLook::Use::Missing);
  EXPECT_FALSE(look_at_port(pty_.path(), places, std::nullopt).by_opening);

  {
    Child other = sleeper(pty_.path());
    const PortLook seen = look_at_port(pty_.path(), places, std::nullopt);
    EXPECT_EQ(seen.use, PortLook::Use::Held);
    EXPECT_EQ(seen.holder, (PortHolder{other.pid(), "sleep"}));
    // The holder seen last is looked at first, and still found.
    EXPECT_EQ(look_at_port(pty_.path(), places, seen.holder).holder, seen.holder);
    other.stop();
    EXPECT_EQ(look_at_port(pty_.path(), places, seen.holder).use, PortLook::Use::Free);
  }
  {
    Child locker = sleeper();
    write_lock(uucp_lock_text(locker.pid()));
    const PortLook seen = look_at_port(pty_.path(), places, std::nullopt);
    EXPECT_EQ(seen.use, PortLook::Use::Held);
    EXPECT_EQ(seen.holder, (PortHolder{locker.pid(), "sleep"}));
    locker.stop();  // a stale lock holds nothing
    EXPECT_EQ(look_at_port(pty_.path(), places, std::nullopt).use, PortLook::Use::Free);
  }
}

TEST_F(PortLocks, AReopenAfterAWaitKeepsWhatCameInAnOpenDiscardsIt) {
  ASSERT_TRUE(pty_.send("sent while nobody had the port\n"));
  ASSERT_TRUE(queued_soon(pty_));
  std::unique_ptr<Port> port = opened(reopen_port(pty_.path(), {}, test::test_lock_places()));
  ASSERT_TRUE(port);
  std::string got;
  std::array<uint8_t, 256> buf{};
  for (int i = 0; i < 100 && got.find('\n') == std::string::npos; ++i) {
    Result<size_t> n = port->read(buf);
    ASSERT_TRUE(n.ok());
    got.append(reinterpret_cast<const char*>(buf.data()), *n);
  }
  EXPECT_EQ(got, "sent while nobody had the port\n");
  port.reset();

  ASSERT_TRUE(pty_.send("left over\n"));
  ASSERT_TRUE(queued_soon(pty_));
  port = opened(open());
  ASSERT_TRUE(port);
  EXPECT_EQ(pty_.queued_for_port(), 0);
}

}  // namespace
}  // namespace lw
