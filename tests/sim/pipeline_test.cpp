// The whole receive path of a demo session on fake time: the reader loop,
// the splitter and the device share one clock that moves only when the
// device waits, so seconds of device life run in an instant.
#include <gtest/gtest.h>

#include <functional>

#include "session/reader.h"
#include "sim/device.h"

namespace lw {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr Millis kWallStart = 1'700'000'000'000;

struct FakeTime final : Clock {
  nanoseconds now{};
  std::function<void()> on_sleep;  // runs after every wait

  Millis local_now() override { return kWallStart + monotonic_ms(); }
  int64_t monotonic_ms() override { return std::chrono::duration_cast<milliseconds>(now).count(); }
  DeviceTiming timing() {
    return {[this] { return now; },
            [this](nanoseconds d) {
              now += d;
              if (on_sleep) on_sleep();
            }};
  }
};

struct Line {
  std::string text;
  LineEnding ending;
  Millis at;  // since the device started
  bool operator==(const Line&) const = default;
};

TEST(SimPipeline, FiveSecondsOfADemoBoard) {
  FakeTime time;
  auto present = std::make_shared<std::atomic<bool>>(true);
  auto channel = std::make_shared<ReaderChannel>();
  bool asked = false;
  time.on_sleep = [&] {
    if (!asked && time.now >= milliseconds(1100)) {
      asked = true;
      channel->push_command(ReaderCommand::write(Bytes(std::string_view("*IDN?\r\n"))));
    }
    if (time.now >= milliseconds(5100)) present->store(false);  // unplugged
  };
  int wakeups = 0;
  reader_loop(
      std::make_unique<SimulatedDevice>("COM7", present, time.timing()), channel, 1,
      [&](uint64_t) { ++wakeups; }, time);

  DrainedEvents ev;
  channel->take_events(ev);
  EXPECT_TRUE(ev.ended);
  EXPECT_EQ(ev.error, "The device does not recognize the command.");
  EXPECT_GT(wakeups, 1);
  EXPECT_EQ(channel->bytes_sent.load(), 7u);

  std::vector<Line> lines;
  for (const LineRecord& r : ev.records) {
    EXPECT_EQ(r.direction, Direction::Received);
    lines.push_back({std::string(r.bytes.view()), r.ending, r.time - kWallStart});
  }
  ASSERT_EQ(lines.size(), 27u);
  using E = LineEnding;
  EXPECT_EQ(lines[0], (Line{"Arduino ready (sketch: thermo_logger v1.2)", E::CrLf, 0}));
  EXPECT_EQ(lines[1], (Line{"T=21.56C H=47.0% n=2", E::CrLf, 200}));
  EXPECT_EQ(lines[4], (Line{"T=22.25C H=46.9% n=5", E::CrLf, 800}));
  // The reply lands within one read timeout of the write, before the next
  // reading.
  EXPECT_TRUE(lines[5].text.ends_with(" n=6")) << lines[5].text;
  EXPECT_EQ(lines[6].text, "OK *IDN?");
  EXPECT_EQ(lines[6].ending, E::CrLf);
  EXPECT_GE(lines[6].at, 1100);
  EXPECT_LE(lines[6].at, 1150);
  EXPECT_EQ(lines[7], (Line{lines[7].text, E::CrLf, 1200}));
  EXPECT_TRUE(lines[7].text.ends_with(" n=7")) << lines[7].text;
  // The prompt has no line end: the idle flush closes it.
  EXPECT_EQ(lines[25], (Line{"Ready> ", E::None, 4800}));
  EXPECT_TRUE(lines[26].text.ends_with(" n=26")) << lines[26].text;
  EXPECT_EQ(lines[26].at, 5000);
}

}  // namespace
}  // namespace lw
