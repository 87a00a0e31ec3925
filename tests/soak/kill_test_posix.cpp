// A recording process killed outright (SIGKILL, as by a crash or a power
// cut of the program): what it leaves on disk must be whole. The real
// application runs in the script driver, in a process of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <thread>

#include "base/text_file.h"
#include "base/time.h"
#include "base/utf8.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

constexpr char kDemo[] = "FLOOD1=Flood board;COM3=Arduino Uno=2341:0043:SER1";
constexpr char kScript[] = "open FLOOD1\nrecord\nopen COM3\nrecord\nwait 600000\n";

// Starts the driver with the script on its standard input; returns its id.
pid_t start_driver(const fs::path& docs) {
  int in[2];
  if (pipe(in) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    close(in[0]);
    close(in[1]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execl(LINEWICK_DRIVER, LINEWICK_DRIVER, "--demo", kDemo, "--docs", docs.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  const ssize_t n = write(in[1], kScript, sizeof kScript - 1);
  close(in[1]);
  if (n != static_cast<ssize_t>(sizeof kScript - 1)) return -1;
  return pid;
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    if (end == std::string_view::npos) {
      out.push_back(text);  // torn: the caller sees it has no CR LF
      break;
    }
    out.push_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  return out;
}

// "YYYY-MM-DD HH:MM:SS.mmm  ..." as local milliseconds.
std::optional<Millis> stamp_of(std::string_view line) {
  int v[7] = {};
  const size_t at[7] = {0, 5, 8, 11, 14, 17, 20};
  const size_t len[7] = {4, 2, 2, 2, 2, 2, 3};
  if (line.size() < 25 || line.substr(23, 2) != "  ") return std::nullopt;
  for (int i = 0; i < 7; ++i) {
    const char* b = line.data() + at[i];
    if (std::from_chars(b, b + len[i], v[i]).ptr != b + len[i]) return std::nullopt;
  }
  return millis_from_civil({v[0], v[1], v[2], v[3], v[4], v[5], v[6]});
}

class KillTest : public test::TempFolderTest {
 protected:
  fs::path docs() const { return dir_ / "docs"; }
  std::string file_of(std::string_view port) const {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(docs(), ec)) {
      const std::string name = e.path().filename().string();
      if (name.starts_with(port) && name.ends_with(".txt")) return read(e.path());
    }
    return {};
  }
};

TEST_F(KillTest, ARecordingKilledOutrightLeavesWholeLinesAndOneByteOrderMark) {
  const pid_t pid = start_driver(docs());
  ASSERT_GT(pid, 0);
  // Running for real: the flood file grows by whole buffers, the board's
  // lines have been through at least one two-second tick.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (file_of("FLOOD1").size() < 2'000'000 || lines_of(file_of("COM3")).size() < 12) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      FAIL() << "the driver wrote too little";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // Part way between two ticks, where the most is still in the buffer.
  std::this_thread::sleep_for(std::chrono::milliseconds(1'300));
  const Millis killed_at = local_now();
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));

  for (const char* port : {"FLOOD1", "COM3"}) {
    SCOPED_TRACE(port);
    const std::string file = file_of(port);
    ASSERT_TRUE(file.starts_with(kUtf8Bom));
    const std::string_view body = std::string_view(file).substr(kUtf8Bom.size());
    EXPECT_EQ(body.find(kUtf8Bom), std::string_view::npos);
    EXPECT_TRUE(is_valid_utf8(body));
    ASSERT_TRUE(body.ends_with("\r\n")) << "the last line is torn";
    const std::vector<std::string_view> lines = lines_of(body);
    for (std::string_view line : lines) ASSERT_TRUE(stamp_of(line)) << line;
    // At most the last two seconds are missing; a busy machine's late tick
    // is allowed for.
    const Millis newest = *stamp_of(lines.back());
    EXPECT_LE(killed_at - newest, 2'000 + 3'000);
    std::printf("kill_missing_ms %s: %lld\n", port, static_cast<long long>(killed_at - newest));
  }

  // The flood's numbered lines are all there, in order, up to the kill.
  const std::string flood = file_of("FLOOD1");
  uint64_t expected = 1;
  for (std::string_view line : lines_of(std::string_view(flood).substr(kUtf8Bom.size()))) {
    uint64_t n = 0;
    std::from_chars(line.data() + 25, line.data() + 33, n);
    ASSERT_EQ(n, expected) << line;
    ++expected;
  }
}

}  // namespace
}  // namespace lw
