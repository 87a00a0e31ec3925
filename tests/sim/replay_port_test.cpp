// A log file replayed as a device, on an injected clock: when each line
// comes out at each speed, what keeps lines apart, the pace of large files,
// and how the end and an unreadable line are reported.
#include "sim/replay_port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lw {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A clock that moves only when the port sleeps.
struct FakeTime {
  nanoseconds now{milliseconds(7000)};
  DeviceTiming timing() {
    return {[this] { return now; }, [this](nanoseconds d) { now += d; }};
  }
};

ReplaySource memory_source(std::string bytes) {
  auto at = std::make_shared<size_t>(0);
  return [bytes = std::move(bytes), at](std::span<uint8_t> buf) -> Result<size_t> {
    const size_t n = std::min(buf.size(), bytes.size() - *at);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(*at), n, buf.begin());
    *at += n;
    return n;
  };
}

struct Out {
  int64_t at_ms;  // since the first read
  std::string bytes;
};

class Replay : public ::testing::Test {
 protected:
  // A fresh replay of the file, sharing a fresh control.
  void open(const std::string& file, ReplaySpeed speed = ReplaySpeed::Normal) {
    control_ = std::make_shared<ReplayControl>();
    control_->speed = speed;
    port_ = std::make_unique<ReplayPort>(memory_source(file), control_, time_.timing());
    start_ = time_.now;
  }
  // Reads as the reader loop does until `count` reads brought bytes, or the
  // clock has run `limit` on.
  std::vector<Out> read(size_t count, milliseconds limit = milliseconds(600'000)) {
    std::vector<Out> out;
    const nanoseconds end = time_.now + limit;
    while (out.size() < count && time_.now < end) {
      const Result<size_t> got = port_->read(buf_);
      EXPECT_TRUE(got.ok());
      if (!got.ok() || *got == 0) continue;
      out.push_back({std::chrono::duration_cast<milliseconds>(time_.now - start_).count(),
                     std::string(reinterpret_cast<const char*>(buf_.data()), *got)});
    }
    return out;
  }
  // Runs the clock on until the replay says it is over.
  bool run_to_end() {
    for (int i = 0; i < 1000 && !control_->finished; ++i) (void)port_->read(buf_);
    return control_->finished;
  }
  static std::vector<int64_t> times(const std::vector<Out>& out) {
    std::vector<int64_t> t;
    for (const Out& o : out) t.push_back(o.at_ms);
    return t;
  }

  FakeTime time_;
  nanoseconds start_{};
  std::shared_ptr<ReplayControl> control_ = std::make_shared<ReplayControl>();
  std::unique_ptr<ReplayPort> port_;
  std::vector<uint8_t> buf_ = std::vector<uint8_t>(65536);
};

const std::string kStamped =
    "2026-12-06 14:03:22.000  one\r\n"
    "2026-12-06 14:03:22.150  two\r\n"
    "2026-12-06 14:03:22.160  \xE2\x86\x92 sent\r\n"
    "2026-12-06 14:03:23.150  three\r\n"
    "2026-12-06 14:03:25.150  four\r\n";

TEST_F(Replay, StampedLinesKeepTheirSpacingAtOneAndTenTimes) {
  struct Case {
    ReplaySpeed speed;
    std::vector<int64_t> at;
  };
  for (const Case& c : {Case{ReplaySpeed::Normal, {0, 150, 1150, 3150}},
                        Case{ReplaySpeed::Ten, {0, 15, 115, 315}}}) {
    SCOPED_TRACE(static_cast<int>(c.speed));
    open(kStamped, c.speed);
    const std::vector<Out> out = read(4);
    EXPECT_EQ(times(out), c.at);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].bytes, "one\r\n");
    EXPECT_EQ(out[3].bytes, "four\r\n");
    EXPECT_EQ(control_->lines, 4u);
  }
}

TEST_F(Replay, LinesWithoutStampsComeTwoHundredMillisecondsApart) {
  open("a\nb\nc\n");
  EXPECT_EQ(times(read(3)), (std::vector<int64_t>{0, 200, 400}));
  open("a\nb\nc\n", ReplaySpeed::Ten);
  EXPECT_EQ(times(read(3)), (std::vector<int64_t>{0, 20, 40}));
}

TEST_F(Replay, AsFastAsPossibleGivesEverythingAtOnce) {
  open(kStamped, ReplaySpeed::Fastest);
  const std::vector<Out> out = read(1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].at_ms, 0);
  EXPECT_EQ(out[0].bytes, "one\r\ntwo\r\nthree\r\nfour\r\n");
}

TEST_F(Replay, ASpeedChosenMidwayAppliesToTheWaitUnderway) {
  open(kStamped);
  ASSERT_EQ(read(2).size(), 2u);  // "one", "two" at 150 ms
  // A second into the wait for "three" (due at 1150 ms), at 10x it is due at
  // 150 + 100 ms, already past: it comes at once.
  const std::vector<Out> waited = read(1, milliseconds(500));
  EXPECT_TRUE(waited.empty());
  control_->speed = ReplaySpeed::Ten;
  const std::vector<Out> out = read(2);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].bytes, "three\r\n");
  EXPECT_EQ(out[1].at_ms - out[0].at_ms, 200);
}

TEST_F(Replay, ALineWithoutAnEndGetsTheSilenceThatKeepsItALine) {
  // Frames of a hex recording, 10 ms apart: at once they would run together.
  open(
      "2026-12-06 14:03:22.000  AA 01 02 BF\r\n"
      "2026-12-06 14:03:22.010  AA 03 04 C0\r\n"
      "2026-12-06 14:03:22.020  41 0D\r\n"
      "2026-12-06 14:03:22.030  0A\r\n"
      "2026-12-06 14:03:22.040  42 0A\r\n",
      ReplaySpeed::Fastest);
  const std::vector<Out> out = read(5, milliseconds(2000));
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].bytes, "\xAA\x01\x02\xBF");
  EXPECT_EQ(out[1].bytes, "\xAA\x03\x04\xC0");
  EXPECT_EQ(out[1].at_ms - out[0].at_ms, 150);
  // A CR followed by a lone LF would become CR LF: they are kept apart too.
  EXPECT_EQ(out[2].bytes, "A\r");
  EXPECT_EQ(out[3].bytes,
            "\n"
            "B\n");
  EXPECT_EQ(out[3].at_ms - out[2].at_ms, 150);
}

TEST_F(Replay, LargeFilesComeInBatchesAtAFloodDevicesPace) {
  std::string file;
  for (int i = 0; i < 40'000; ++i) file += "line " + std::to_string(100'000 + i) + "\n";
  ASSERT_GT(file.size(), 400'000u);
  open(file, ReplaySpeed::Fastest);
  std::vector<Out> out;
  size_t total = 0;
  while (total < file.size() && out.size() < 1000) {
    out.push_back(read(1).at(0));
    EXPECT_LE(out.back().bytes.size(), kReplayBatchBytes);
    EXPECT_EQ(out.back().bytes.back(), '\n');  // whole lines
    total += out.back().bytes.size();
  }
  EXPECT_EQ(total, file.size());
  EXPECT_EQ(out.size(), file.size() / kReplayBatchBytes + 1);
  // 15 ms after each full batch.
  const int64_t pauses = 15 * static_cast<int64_t>(out.size() - 1);
  EXPECT_GE(out.back().at_ms, pauses - 1);
  EXPECT_LE(out.back().at_ms, pauses);
}

TEST_F(Replay, TheEndAndAnUnreadableLineAreReportedOnceTheLastLineIsOut) {
  open(std::string("one\ntwo\n\x01\x00\nfour\n", 16));
  ASSERT_EQ(read(2).size(), 2u);
  EXPECT_FALSE(control_->finished);
  ASSERT_TRUE(run_to_end());
  EXPECT_EQ(control_->unreadable_line, 3u);
  EXPECT_EQ(control_->lines, 2u);

  open("only\n");
  ASSERT_EQ(read(1).size(), 1u);
  ASSERT_TRUE(run_to_end());
  EXPECT_EQ(control_->unreadable_line, 0u);
}

TEST_F(Replay, WritesAndSettingsAreTakenAndDropped) {
  open("one\n");
  const std::string cmd = "*IDN?\r\n";
  EXPECT_TRUE(port_->write_all({reinterpret_cast<const uint8_t*>(cmd.data()), cmd.size()}).ok());
  EXPECT_TRUE(port_->configure(PortSettings{}).ok());
  const std::vector<Out> out = read(2, milliseconds(2000));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].bytes, "one\n");
}

TEST(ReplayOpen, MissingFilesAndFoldersDontOpen) {
  auto control = std::make_shared<ReplayControl>();
  const auto missing =
      open_replay(std::filesystem::temp_directory_path() / "no-such-replay.txt", control);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), OpenFailure::Missing);
  const auto folder = open_replay(std::filesystem::temp_directory_path(), control);
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.error(), OpenFailure::Other);
}

}  // namespace
}  // namespace lw
