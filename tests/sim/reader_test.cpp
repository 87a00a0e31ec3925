// The reader loop over a simulated device, on the real clock: what a demo
// session sees.
#include "session/reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "sim/simulator.h"

namespace lw {
namespace {

using namespace std::chrono_literals;

constexpr uint64_t kSessionId = 42;
constexpr auto kPatience = 10s;  // generous: a loaded machine or Wine may be slow

std::string text_of(const LineRecord& r) { return std::string(r.bytes.view()); }

class SimReader : public ::testing::Test {
 protected:
  ~SimReader() override {
    if (thread_.joinable()) {
      channel_->push_command(ReaderCommand::close());
      thread_.join();
    }
  }

  void start(const std::string& name) {
    auto opened = sim_.open_simulated(name);
    ASSERT_TRUE(opened.ok());
    channel_ = std::make_shared<ReaderChannel>();
    thread_ = std::thread([this, port = std::move(*opened), channel = channel_]() mutable {
      reader_loop(
          std::move(port), std::move(channel), kSessionId, [this](uint64_t id) { wake(id); },
          system_clock());
    });
  }

  // Drains the channel the way the window does, on each wake-up (or every
  // 100 ms regardless), until done() holds or patience runs out.
  bool drain_until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
      DrainedEvents ev;
      channel_->take_events(ev);
      for (LineRecord& r : ev.records) records_.push_back(std::move(r));
      if (ev.ended) {
        ended_ = true;
        error_ = ev.error;
      }
      if (done()) return true;
      if (ended_ || std::chrono::steady_clock::now() > deadline) return false;
      std::unique_lock lock(mutex_);
      cv_.wait_for(lock, 100ms, [&] { return wakeups_ != seen_wakeups_; });
      seen_wakeups_ = wakeups_;
    }
  }
  bool has_record(std::string_view text) const {
    for (const LineRecord& r : records_) {
      if (r.bytes.view() == text) return true;
    }
    return false;
  }
  int wakeups() {
    std::lock_guard lock(mutex_);
    return wakeups_;
  }

  Simulator sim_{parse_demo_list("COM7=Demo board;COM8;COM-flood")};
  std::shared_ptr<ReaderChannel> channel_;
  std::thread thread_;
  std::vector<LineRecord> records_;
  std::optional<std::string> error_;
  bool ended_ = false;

 private:
  void wake(uint64_t id) {
    {
      std::lock_guard lock(mutex_);
      ++wakeups_;
      EXPECT_EQ(id, kSessionId);
    }
    cv_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable cv_;
  int wakeups_ = 0;
  int seen_wakeups_ = 0;
};

TEST_F(SimReader, BannerThenReadings) {
  start("COM7");
  ASSERT_TRUE(drain_until([&] { return records_.size() >= 3; }));
  EXPECT_EQ(text_of(records_[0]), "Arduino ready (sketch: thermo_logger v1.2)");
  EXPECT_EQ(text_of(records_[1]), "T=21.56C H=47.0% n=2");
  EXPECT_EQ(text_of(records_[2]), "T=21.83C H=47.0% n=3");
  for (const LineRecord& r : records_) {
    EXPECT_EQ(r.ending, LineEnding::CrLf);
    EXPECT_EQ(r.direction, Direction::Received);
  }
  EXPECT_LE(records_[0].time, records_[2].time);
  EXPECT_GE(channel_->bytes_received.load(), 44u + 2 * 22u);
  EXPECT_GT(wakeups(), 0);
}

TEST_F(SimReader, WriteGetsItsReply) {
  start("COM7");
  ASSERT_TRUE(drain_until([&] { return !records_.empty(); }));
  channel_->push_command(ReaderCommand::write(Bytes(std::string_view("*IDN?\r\n"))));
  ASSERT_TRUE(drain_until([&] { return has_record("OK *IDN?"); }));
  for (const LineRecord& r : records_) {
    if (r.bytes.view() == "OK *IDN?") {
      EXPECT_EQ(r.ending, LineEnding::CrLf);
    }
  }
  EXPECT_EQ(channel_->bytes_sent.load(), 7u);
}

TEST_F(SimReader, UnplugEndsTheLoopKeepingWhatCameBefore) {
  start("COM7");
  ASSERT_TRUE(drain_until([&] { return records_.size() >= 2; }));
  const int wakeups_before = wakeups();
  sim_.toggle_present(0);
  ASSERT_TRUE(drain_until([&] { return ended_; }));
  thread_.join();
  EXPECT_GT(wakeups(), wakeups_before);  // the stopping thread's last wake-up
  EXPECT_EQ(error_, "The device does not recognize the command.");
  ASSERT_GE(records_.size(), 2u);
  EXPECT_EQ(text_of(records_[0]), "Arduino ready (sketch: thermo_logger v1.2)");
  EXPECT_EQ(text_of(records_[1]), "T=21.56C H=47.0% n=2");
  EXPECT_FALSE(sim_.open_simulated("COM7").ok());

  // Plugged back in, a fresh device starts over with its banner.
  sim_.toggle_present(0);
  records_.clear();
  ended_ = false;
  start("COM7");
  ASSERT_TRUE(drain_until([&] { return !records_.empty(); }));
  EXPECT_EQ(text_of(records_[0]), "Arduino ready (sketch: thermo_logger v1.2)");
}

TEST_F(SimReader, CloseEndsTheLoopWithoutError) {
  start("COM8");
  ASSERT_TRUE(drain_until([&] { return !records_.empty(); }));
  channel_->push_command(ReaderCommand::close());
  ASSERT_TRUE(drain_until([&] { return ended_; }));
  thread_.join();
  EXPECT_FALSE(error_.has_value());
}

TEST_F(SimReader, FloodDeviceDeliversBatches) {
  start("COM-flood");
  ASSERT_TRUE(drain_until([&] { return records_.size() >= 1000; }));
  EXPECT_EQ(text_of(records_[0]), "00000001 adc0= 231 adc1= 519 adc2= 323 status=OK");
  EXPECT_EQ(text_of(records_[999]).substr(0, 9), "00001000 ");
}

}  // namespace
}  // namespace lw
