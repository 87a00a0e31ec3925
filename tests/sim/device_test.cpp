#include "sim/device.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace lw {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A clock that only moves when the device sleeps or the test says so.
struct FakeTime {
  nanoseconds now{milliseconds(5000)};  // any start: the device counts from its creation
  std::vector<nanoseconds> sleeps;

  DeviceTiming timing() {
    return {[this] { return now; },
            [this](nanoseconds d) {
              sleeps.push_back(d);
              now += d;
            }};
  }
  nanoseconds since(nanoseconds start) const { return now - start; }
};

class Device : public ::testing::Test {
 protected:
  explicit Device(std::string_view name = "COM7")
      : present_(std::make_shared<std::atomic<bool>>(true)),
        device_(name, present_, time_.timing()) {}

  // One read with a reader-sized buffer, as text; fails the test on error.
  std::string read_once() {
    auto got = device_.read(buf_);
    EXPECT_TRUE(got.ok()) << got.error().text;
    if (!got.ok()) return {};
    return {reinterpret_cast<const char*>(buf_.data()), *got};
  }
  // Reads until the device has produced one more chunk.
  std::string read_next() {
    for (int i = 0; i < 1000; ++i) {
      std::string s = read_once();
      if (!s.empty()) return s;
    }
    ADD_FAILURE() << "no output";
    return {};
  }
  void write(std::string_view s) {
    EXPECT_TRUE(device_.write_all({reinterpret_cast<const uint8_t*>(s.data()), s.size()}).ok());
  }
  milliseconds elapsed() const {
    return std::chrono::duration_cast<milliseconds>(time_.since(start_));
  }

  FakeTime time_;
  nanoseconds start_ = time_.now;
  std::shared_ptr<std::atomic<bool>> present_;
  SimulatedDevice device_;
  std::vector<uint8_t> buf_ = std::vector<uint8_t>(65536);
};

TEST_F(Device, BannerThenOneReadingEvery200MsForOneSecond) {
  std::string out;
  while (elapsed() < milliseconds(1000)) out += read_once();
  EXPECT_EQ(out,
            "Arduino ready (sketch: thermo_logger v1.2)\r\n"
            "T=21.56C H=47.0% n=2\r\n"
            "T=21.83C H=47.0% n=3\r\n"
            "T=22.08C H=46.9% n=4\r\n"
            "T=22.25C H=46.9% n=5\r\n");
  // Idle reads wait like a port's read timeout: never longer than 50 ms.
  ASSERT_FALSE(time_.sleeps.empty());
  for (nanoseconds s : time_.sleeps) EXPECT_LE(s, milliseconds(50));
}

TEST_F(Device, EveryTwentyFifthTickIsAPrompt) {
  std::vector<std::string> chunks;
  for (int i = 0; i < 51; ++i) chunks.push_back(read_next());
  EXPECT_EQ(chunks[0].size(), 44u);
  EXPECT_EQ(chunks[24], "Ready> ");
  EXPECT_EQ(chunks[49], "Ready> ");
  EXPECT_TRUE(chunks[23].ends_with(" n=24\r\n")) << chunks[23];
  EXPECT_TRUE(chunks[25].ends_with(" n=26\r\n")) << chunks[25];
  EXPECT_TRUE(chunks[50].ends_with(" n=51\r\n")) << chunks[50];
  EXPECT_EQ(device_.ticks(), 51u);
  EXPECT_EQ(elapsed(), milliseconds(50 * 200));
}

TEST_F(Device, LateReaderCatchesUpOnTheSchedule) {
  EXPECT_TRUE(read_next().starts_with("Arduino ready"));
  time_.now += milliseconds(1030);  // the reader was busy elsewhere
  time_.sleeps.clear();
  // Ticks due at 200, 400, ..., 1000 come at once, without waiting.
  for (unsigned n = 2; n <= 6; ++n) {
    EXPECT_TRUE(read_once().ends_with(" n=" + std::to_string(n) + "\r\n"));
  }
  EXPECT_TRUE(time_.sleeps.empty());
  // The next one is due at 1200, not 200 ms after the late read.
  const std::string next = read_next();
  EXPECT_TRUE(next.ends_with(" n=7\r\n")) << next;
  EXPECT_EQ(elapsed(), milliseconds(1200));
  EXPECT_EQ(time_.sleeps, (std::vector<nanoseconds>{milliseconds(50), milliseconds(50),
                                                    milliseconds(50), milliseconds(20)}));
}

TEST_F(Device, ReplyComesBeforeTheNextReading) {
  EXPECT_TRUE(read_next().starts_with("Arduino ready"));
  time_.now += milliseconds(200);  // a reading is due
  write("*IDN?\r\n");
  EXPECT_EQ(read_once(), "OK *IDN?\r\n");
  EXPECT_EQ(read_once(), "T=21.56C H=47.0% n=2\r\n");
}

TEST_F(Device, ReplyIsTheTrimmedSanitizedText) {
  const struct {
    std::string_view sent;
    std::string_view reply;
  } cases[] = {
      {"*IDN?\r\n", "OK *IDN?\r\n"},
      {"*IDN?\r", "OK *IDN?\r\n"},
      {"*IDN?", "OK *IDN?\r\n"},
      {" \t MEAS:VOLT? 1 \n", "OK MEAS:VOLT? 1\r\n"},
      {"\r\n", "OK \r\n"},
      {"\xEC\x98\xA8\xEB\x8F\x84?\r\n", "OK \xEC\x98\xA8\xEB\x8F\x84?\r\n"},
      {"a\xFF"
       "b\r\n",
       "OK a\xEF\xBF\xBD"
       "b\r\n"},
      {"\xFF\r\n", "OK \xEF\xBF\xBD\r\n"},
      // Unicode white space too: ideographic and no-break spaces.
      {"\xE3\x80\x80x\xC2\xA0\r\n", "OK x\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.sent));
    write(c.sent);
    EXPECT_EQ(read_once(), c.reply);
  }
}

TEST_F(Device, RepliesQueueInOrderAndSurviveSmallBuffers) {
  write("one\n");
  write("two\n");
  std::string out;
  std::vector<size_t> sizes;
  std::vector<uint8_t> small(3);
  for (int i = 0; i < 7; ++i) {
    auto got = device_.read(small);
    ASSERT_TRUE(got.ok());
    sizes.push_back(*got);
    out.append(reinterpret_cast<const char*>(small.data()), *got);
  }
  EXPECT_EQ(sizes, (std::vector<size_t>{3, 3, 3, 3, 3, 1, 3}));
  EXPECT_EQ(out, "OK one\r\nOK two\r\nArd");
  // The rest of the banner comes before anything else.
  write("three\n");
  EXPECT_EQ(read_once(), "uino ready (sketch: thermo_logger v1.2)\r\nOK three\r\n");
}

TEST_F(Device, UnpluggedDeviceFailsAndSettingsAreIgnored) {
  EXPECT_TRUE(device_.configure(PortSettings{}).ok());
  EXPECT_TRUE(read_next().starts_with("Arduino ready"));
  write("pending reply\n");
  present_->store(false);
  auto got = device_.read(buf_);
  ASSERT_FALSE(got.ok());
  EXPECT_EQ(got.error().text, "The device does not recognize the command.");
  const Status wrote = device_.write_all(buf_);
  ASSERT_FALSE(wrote.ok());
  EXPECT_EQ(wrote.error().text, "gone");
  PortSettings odd;
  odd.baud = 12000000;
  odd.dtr = false;
  EXPECT_TRUE(device_.configure(odd).ok());
}

TEST(SimDevice, FloodNames) {
  EXPECT_TRUE(is_flood_name("flood"));
  EXPECT_TRUE(is_flood_name("COM-FLOOD"));
  EXPECT_TRUE(is_flood_name("FlOoD9"));
  EXPECT_FALSE(is_flood_name("COM7"));
  EXPECT_FALSE(is_flood_name("flod"));
}

TEST(SimDevice, XorshiftFromSeven) {
  uint32_t x = kXorshiftSeed;
  EXPECT_EQ(xorshift32(x), 1892583u);
  EXPECT_EQ(x, 1892583u);
  EXPECT_EQ(xorshift32(x), 470389255u);
}

class FloodDevice : public Device {
 protected:
  FloodDevice() : Device("COM-Flood") {}
};

TEST_F(FloodDevice, BatchesOfNumberedLinesAfterAPause) {
  uint32_t rng = kXorshiftSeed;
  uint32_t line_no = 0;
  for (int batch = 0; batch < 3; ++batch) {
    SCOPED_TRACE(batch);
    time_.sleeps.clear();
    const std::string out = read_once();
    EXPECT_EQ(time_.sleeps, (std::vector<nanoseconds>{milliseconds(15)}));
    // Whole lines of 50 bytes, just past 16 KiB.
    EXPECT_GE(out.size(), 16384u);
    EXPECT_LT(out.size(), 16384u + 50u);
    ASSERT_EQ(out.size() % 50, 0u);
    for (size_t at = 0; at < out.size(); at += 50) {
      ++line_no;
      const uint32_t a = xorshift32(rng) & 1023;
      const uint32_t b = xorshift32(rng) & 1023;
      const uint32_t c = xorshift32(rng) & 1023;
      char want[64];
      std::snprintf(want, sizeof want, "%08u adc0=%4u adc1=%4u adc2=%4u status=OK\r\n", line_no, a,
                    b, c);
      ASSERT_EQ(out.substr(at, 50), want);
    }
  }
  EXPECT_EQ(device_.ticks(), line_no);
}

TEST_F(FloodDevice, FirstLinesAndReplies) {
  write("PING\r\n");
  EXPECT_EQ(read_once(), "OK PING\r\n");  // pending replies come first, no pause
  EXPECT_TRUE(time_.sleeps.empty());
  const std::string out = read_once();
  EXPECT_EQ(out.substr(0, 100),
            "00000001 adc0= 231 adc1= 519 adc2= 323 status=OK\r\n"
            "00000002 adc0= 581 adc1=1023 adc2= 660 status=OK\r\n");
  present_->store(false);
  EXPECT_FALSE(device_.read(buf_).ok());
}

}  // namespace
}  // namespace lw
