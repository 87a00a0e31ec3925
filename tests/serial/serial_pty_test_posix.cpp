// The Linux serial port against a pseudo-terminal pair.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "serial/lock_folder.h"
#include "serial/pty_pair.h"
#include "serial/serial_port.h"
#include "serial/system_port_system.h"
#include "serial/termios2_linux.h"
#include "session/reader.h"

namespace lw {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using test::PtyPair;

std::span<const uint8_t> bytes_of(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

template <class Pred>
bool wait_until(Pred pred, int timeout_ms = 10000) {
  const auto deadline = steady_clock::now() + milliseconds(timeout_ms);
  while (!pred()) {
    if (steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(2));
  }
  return true;
}

// Lock files go to a folder of the test's own.
std::unique_ptr<Port> open_ok(const std::string& path, const PortSettings& s = {},
                              const LockPlaces& places = test::test_lock_places()) {
  auto r = open_port(path, s, places);
  EXPECT_TRUE(r.ok()) << path;
  return r.ok() ? std::move(*r) : nullptr;
}

// Reads until count bytes came or the time is up.
std::string read_bytes(Port& port, size_t count, int timeout_ms = 5000) {
  std::string out;
  std::vector<uint8_t> buf(65536);
  const auto deadline = steady_clock::now() + milliseconds(timeout_ms);
  while (out.size() < count && steady_clock::now() < deadline) {
    Result<size_t> got = port.read(buf);
    if (!got) break;
    out.append(reinterpret_cast<const char*>(buf.data()), *got);
  }
  return out;
}

std::string every_byte_value(int rounds) {
  std::string s;
  for (int r = 0; r < rounds; ++r) {
    for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  }
  return s;
}

class SerialPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty_.ok()); }
  PtyPair pty_;
};

TEST_F(SerialPty, SettingsReachTheLine) {
  // A pseudo-terminal keeps the speed, the stop bits and the mode; it always
  // reports 8 data bits without parity (those are checked in termios2_test_linux).
  const PortSettings cases[] = {
      {74880, 8, 0, 0, true, true},     {250000, 7, 2, 2, false, true},
      {12000000, 5, 3, 1, true, false}, {50, 6, 4, 0, false, false},
      {9600, 8, 1, 0, true, true},
  };
  std::unique_ptr<Port> port = open_ok(pty_.path(), cases[0]);
  ASSERT_TRUE(port);
  for (const PortSettings& s : cases) {
    // Changed on the open port, as ApplySettings does; DTR and RTS on a line
    // without modem signals are no error.
    ASSERT_TRUE(port->configure(s).ok()) << s.baud;
    const std::optional<LineFlags> line = read_line_flags(pty_.near_fd());
    ASSERT_TRUE(line);
    EXPECT_EQ(line->ospeed, s.baud);
    EXPECT_EQ(line->ispeed, s.baud);
    EXPECT_EQ((line->cflag & CSTOPB) != 0, s.stop_bits != 0) << s.baud;
    EXPECT_EQ(line->cflag & (CLOCAL | CREAD), static_cast<uint32_t>(CLOCAL | CREAD));
    EXPECT_EQ(line->cflag & CRTSCTS, 0u);
    EXPECT_EQ(line->lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line->oflag & OPOST, 0u);
    EXPECT_EQ(line->iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
  }
}

TEST_F(SerialPty, ReadReturnsWhatIsBufferedThenZeroAfterSilence) {
  std::unique_ptr<Port> port = open_ok(pty_.path());
  ASSERT_TRUE(port);
  ASSERT_TRUE(pty_.send("hello"));
  ASSERT_TRUE(wait_until([&] { return pty_.queued_for_port() == 5; }));

  std::vector<uint8_t> buf(64);
  Result<size_t> got = port->read(buf);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buf.data()), *got), "hello");

  const auto start = steady_clock::now();
  got = port->read(buf);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(*got, 0u);
  EXPECT_GE(steady_clock::now() - start, milliseconds(kReadTimeoutMs - 5));
}

TEST_F(SerialPty, EveryByteValuePassesBothWays) {
  std::unique_ptr<Port> port = open_ok(pty_.path());
  ASSERT_TRUE(port);
  const std::string all = every_byte_value(4);

  ASSERT_TRUE(pty_.send(all));
  EXPECT_EQ(read_bytes(*port, all.size()), all);

  ASSERT_TRUE(port->write_all(bytes_of(all)).ok());
  EXPECT_EQ(pty_.receive(all.size()), all);

  EXPECT_TRUE(port->write_all({}).ok());
}

TEST_F(SerialPty, StaleBytesAreDiscardedAtOpen) {
  ASSERT_TRUE(pty_.send("stale"));
  ASSERT_TRUE(wait_until([&] { return pty_.queued_for_port() == 5; }));
  std::unique_ptr<Port> port = open_ok(pty_.path());
  ASSERT_TRUE(port);
  EXPECT_EQ(pty_.queued_for_port(), 0);
  ASSERT_TRUE(pty_.send("fresh"));
  EXPECT_EQ(read_bytes(*port, 5), "fresh");
}

TEST_F(SerialPty, SecondOpenIsBusyUntilTheFirstLetsGo) {
  std::unique_ptr<Port> first = open_ok(pty_.path());
  ASSERT_TRUE(first);
  auto second = open_port(pty_.path(), {}, test::test_lock_places());
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(second.error(), OpenFailure::Busy);
  first.reset();
  EXPECT_TRUE(open_ok(pty_.path()));
}

TEST(SerialOpen, WhatIsNotThereOrIsNoSerialDevice) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string file = (dir / ("lw-plain-" + std::to_string(getpid()))).string();
  {
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  const struct {
    std::string name;
    OpenFailure failure;
  } cases[] = {
      {"/dev/lw-no-such-port", OpenFailure::Missing},
      {"ttyLWNoSuchPort", OpenFailure::Missing},
      {"", OpenFailure::Missing},
      {file + "/below", OpenFailure::Missing},  // a file where a folder should be
      // Opens, but is no terminal.
      {"/dev/null", OpenFailure::NotSerial},
      {file, OpenFailure::NotSerial},
      {dir.string(), OpenFailure::NotSerial},
  };
  for (const auto& c : cases) {
    auto r = open_port(c.name, {});
    ASSERT_FALSE(r.ok()) << c.name;
    EXPECT_EQ(r.error(), c.failure) << c.name;
  }
  std::filesystem::remove(file);
}

// A terminal the account may not open. Root may open anything, so then a
// child process tries it as nobody.
TEST(SerialOpen, NoPermissionIsDenied) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(chmod(pty.path().c_str(), 0), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    auto r = open_port(pty.path(), {});
    _exit(!r.ok() && r.error() == OpenFailure::Denied ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SerialPty, SystemPortSystemOpensRealPorts) {
  SystemPortSystem system(test::test_lock_places());
  auto r = system.open_port(pty_.path(), {});
  ASSERT_TRUE(r.ok());
  ASSERT_TRUE(pty_.send("x"));
  EXPECT_EQ(read_bytes(**r, 1), "x");
  auto missing = system.open_port("ttyLWNoSuchPort", {});
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), OpenFailure::Missing);
}

// The reader loop over a real port, as a session runs it.
class ReaderOverPty : public SerialPty {
 protected:
  void start(std::unique_ptr<Port> port) {
    thread_ = std::thread(
        reader_loop, std::move(port), channel_, uint64_t{7},
        [this](uint64_t) { wakes_.fetch_add(1); }, std::ref(system_clock()));
  }
  void TearDown() override {
    if (thread_.joinable()) {
      channel_->push_command(ReaderCommand::close());
      thread_.join();
    }
  }
  // Collects events until pred holds for them.
  bool drain_until(const std::function<bool()>& pred, int timeout_ms = 10000) {
    return wait_until(
        [&] {
          DrainedEvents ev;
          channel_->take_events(ev);
          for (LineRecord& r : ev.records) records_.push_back(std::move(r));
          if (ev.error) error_ = ev.error;
          ended_ = ended_ || ev.ended;
          return pred();
        },
        timeout_ms);
  }
  std::vector<std::pair<std::string, LineEnding>> lines() const {
    std::vector<std::pair<std::string, LineEnding>> out;
    for (const LineRecord& r : records_) out.emplace_back(std::string(r.bytes.view()), r.ending);
    return out;
  }

  std::shared_ptr<ReaderChannel> channel_ = std::make_shared<ReaderChannel>();
  std::thread thread_;
  std::atomic<int> wakes_{0};
  std::vector<LineRecord> records_;
  std::optional<std::string> error_;
  bool ended_ = false;
};

using Lines = std::vector<std::pair<std::string, LineEnding>>;

TEST_F(ReaderOverPty, LinesIdleFlushWritesAndClose) {
  std::unique_ptr<Port> port = open_ok(pty_.path());
  ASSERT_TRUE(port);
  start(std::move(port));

  ASSERT_TRUE(pty_.send("line one\r\nno end"));
  // "no end" comes out only after the silence that ends a line.
  ASSERT_TRUE(drain_until([&] { return records_.size() == 2; }));
  EXPECT_EQ(lines(), (Lines{{"line one", LineEnding::CrLf}, {"no end", LineEnding::None}}));
  EXPECT_EQ(channel_->bytes_received.load(), 16u);
  EXPECT_GT(wakes_.load(), 0);

  channel_->push_command(ReaderCommand::write(Bytes(std::string_view("*IDN?\n"))));
  EXPECT_EQ(pty_.receive(6), "*IDN?\n");
  EXPECT_TRUE(wait_until([&] { return channel_->bytes_sent.load() == 6; }));

  channel_->push_command(ReaderCommand::apply(PortSettings{250000, 8, 0, 0, false, false}));
  EXPECT_TRUE(wait_until([&] {
    const auto line = read_line_flags(pty_.near_fd());
    return line && line->ospeed == 250000;
  }));

  channel_->push_command(ReaderCommand::close());
  ASSERT_TRUE(drain_until([&] { return ended_; }));
  EXPECT_FALSE(error_);
  thread_.join();
}

TEST_F(ReaderOverPty, HangUpEndsTheReaderAndKeepsTheBytesBeforeIt) {
  std::unique_ptr<Port> port = open_ok(pty_.path());
  ASSERT_TRUE(port);
  start(std::move(port));

  ASSERT_TRUE(pty_.send("ok\npartial"));
  ASSERT_TRUE(wait_until([&] { return channel_->bytes_received.load() == 10; }));
  pty_.close_far_end();

  ASSERT_TRUE(drain_until([&] { return ended_; }));
  ASSERT_TRUE(error_);
  EXPECT_FALSE(error_->empty());
  EXPECT_EQ(lines(), (Lines{{"ok", LineEnding::Lf}, {"partial", LineEnding::None}}));
  thread_.join();
}

TEST_F(ReaderOverPty, WriteWithoutProgressTimesOut) {
  std::unique_ptr<Port> port = open_ok(pty_.path());
  ASSERT_TRUE(port);
  start(std::move(port));

  ASSERT_TRUE(pty_.send("before"));
  ASSERT_TRUE(wait_until([&] { return channel_->bytes_received.load() == 6; }));
  // The device side never reads, so the line's buffers fill and stay full.
  channel_->push_command(ReaderCommand::write(Bytes(std::string(1 << 20, 'w'))));

  ASSERT_TRUE(drain_until([&] { return ended_; }, 30000));
  EXPECT_EQ(error_, std::optional<std::string>(kWriteTimedOut));
  EXPECT_EQ(lines(), (Lines{{"before", LineEnding::None}}));
  EXPECT_EQ(channel_->bytes_sent.load(), 0u);
  thread_.join();
}

}  // namespace
}  // namespace lw
