#include "session/reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "session/scripted_port.h"

namespace lw {
namespace {

using test::data;
using test::fail_read;
using test::FakeClock;
using test::ScriptedPort;
using test::timeout;

struct LoopRun {
  DrainedEvents events;
  std::vector<uint64_t> posts;
};

// Runs the loop to its end on this thread and collects what it handed over.
LoopRun run(std::deque<test::Step> script, const std::function<void(ReaderChannel&)>& setup = {},
            std::function<void(ScriptedPort&)> port_setup = {}) {
  FakeClock clock;
  auto port = std::make_unique<ScriptedPort>(clock, std::move(script));
  if (port_setup) port_setup(*port);
  auto channel = std::make_shared<ReaderChannel>();
  if (setup) setup(*channel);
  LoopRun r;
  reader_loop(
      std::move(port), channel, 42, [&](uint64_t id) { r.posts.push_back(id); }, clock);
  channel->take_events(r.events);
  return r;
}

std::vector<std::string> texts(const DrainedEvents& e) {
  std::vector<std::string> out;
  for (const auto& rec : e.records) out.emplace_back(rec.bytes.view());
  return out;
}

TEST(ReaderLoop, ReadErrorKeepsTheRecordsAndThePartialLine) {
  const LoopRun r = run({data("one\r\ntwo\r\nthr"), fail_read("unplugged")});
  EXPECT_EQ(texts(r.events), (std::vector<std::string>{"one", "two", "thr"}));
  EXPECT_EQ(r.events.records.back().ending, LineEnding::None);
  ASSERT_TRUE(r.events.error);
  EXPECT_EQ(*r.events.error, "unplugged");
  EXPECT_TRUE(r.events.ended);
  EXPECT_FALSE(r.posts.empty());
}

TEST(ReaderLoop, IdleTimeoutsFlushAPartialLineAfter100Ms) {
  // 50 ms of silence is not enough; the second timeout passes 99 ms.
  FakeClock clock;
  auto channel = std::make_shared<ReaderChannel>();
  std::vector<size_t> seen_after_timeout;
  std::deque<test::Step> script{data("Ready> ", 0), timeout(50), timeout(50), fail_read()};
  script[2].before = [&] {
    DrainedEvents e;
    channel->take_events(e);
    seen_after_timeout.push_back(e.records.size());
  };
  reader_loop(
      std::make_unique<ScriptedPort>(clock, std::move(script)), channel, 1, [](uint64_t) {}, clock);
  EXPECT_EQ(seen_after_timeout, std::vector<size_t>{0});
  DrainedEvents rest;
  channel->take_events(rest);
  ASSERT_EQ(rest.records.size(), 1u);
  EXPECT_EQ(rest.records[0].bytes.view(), "Ready> ");
}

TEST(ReaderLoop, CommandsRunInOrderBetweenReads) {
  std::shared_ptr<std::string> written;
  std::shared_ptr<std::vector<PortSettings>> configured;
  ReaderChannel* ch = nullptr;
  std::deque<test::Step> script{data("a\r"), timeout(), data("b\n"), timeout(), timeout()};
  script[1].before = [&] {
    PortSettings s;
    s.baud = 115200;
    ch->push_command(ReaderCommand::apply(s));
    ch->push_command(ReaderCommand::write(Bytes(std::string_view("*IDN?\r\n"))));
    ch->push_command(ReaderCommand::set_framing(FrameSpec{2, ChecksumKind::None, {}}));
  };
  script[3].before = [&] { ch->push_command(ReaderCommand::close()); };
  const LoopRun r = run(
      std::move(script), [&](ReaderChannel& c) { ch = &c; },
      [&](ScriptedPort& p) {
        written = p.written;
        configured = p.configured;
      });
  EXPECT_EQ(*written, "*IDN?\r\n");
  ASSERT_EQ(configured->size(), 1u);
  EXPECT_EQ(configured->front().baud, 115200u);
  // "a" + CR was pending when framing switched: it closes as a Cr line; "b\n"
  // then arrives in frame mode as one 2-byte frame.
  EXPECT_EQ(texts(r.events), (std::vector<std::string>{"a", "b\n"}));
  EXPECT_EQ(r.events.records[0].ending, LineEnding::Cr);
  EXPECT_FALSE(r.events.error);  // Close ends without an error
}

TEST(ReaderLoop, FailingWriteStopsAndDropsTheCommandsAfterIt) {
  ReaderChannel* ch = nullptr;
  std::shared_ptr<std::vector<PortSettings>> configured;
  std::deque<test::Step> script{data("x\n"), timeout(), timeout()};
  script[1].before = [&] {
    ch->push_command(ReaderCommand::write(Bytes(std::string_view("hi"))));
    ch->push_command(ReaderCommand::apply(PortSettings{}));
  };
  const LoopRun r = run(
      std::move(script), [&](ReaderChannel& c) { ch = &c; },
      [&](ScriptedPort& p) {
        p.fail_writes = true;
        configured = p.configured;
      });
  ASSERT_TRUE(r.events.error);
  EXPECT_EQ(*r.events.error, "write timed out");
  EXPECT_TRUE(configured->empty());
  EXPECT_EQ(texts(r.events), std::vector<std::string>{"x"});
}

TEST(ReaderLoop, WakeUpsAreSpacedAndOnlyOnAFalseToTrueChange) {
  FakeClock clock;
  auto channel = std::make_shared<ReaderChannel>();
  std::vector<int64_t> post_times;
  // Five chunks 5 ms apart while nobody drains: one post only (posted stays
  // true). A drain clears it and the next chunk posts again; the chunks
  // after that find the wake-up outstanding.
  std::deque<test::Step> script;
  for (int i = 0; i < 5; ++i) script.push_back(data("l\n", 5));
  script.push_back(data("m\n", 5));
  script.back().before = [&] {
    DrainedEvents e;
    channel->take_events(e);
  };
  script.push_back(data("n\n", 5));
  script.push_back(data("o\n", 20));
  reader_loop(
      std::make_unique<ScriptedPort>(clock, std::move(script)), channel, 7,
      [&](uint64_t id) {
        EXPECT_EQ(id, 7u);
        post_times.push_back(clock.mono);
      },
      clock);
  // Posts: the first chunk (5005), the chunk after the drain (5030, more
  // than 14 ms later), and the final post when the loop stops.
  ASSERT_EQ(post_times.size(), 3u);
  EXPECT_EQ(post_times[0], 5'005);
  EXPECT_EQ(post_times[1], 5'030);
  EXPECT_TRUE(channel->posted.load());
}

// The lists go round between the reader and the drains: a batch's room is
// reused, a backlog's is given up.
TEST(ReaderChannel, KeepsTheRoomOfABatchButNotOfABacklog) {
  ReaderChannel channel;
  DrainedEvents drained;
  const auto hand_over = [&](size_t n) {
    std::vector<LineRecord> batch(n);
    channel.hand_over(batch);
    return batch;  // the list the reader goes on with
  };

  hand_over(1'000);
  channel.take_events(drained);
  channel.take_events(drained);  // the drained list goes back to the channel
  EXPECT_GE(hand_over(1).capacity(), 1'000u);
  channel.take_events(drained);

  for (int i = 0; i < 40; ++i) hand_over(1'000);  // no drain for a while
  channel.take_events(drained);
  ASSERT_EQ(drained.records.size(), 40'000u);
  hand_over(10);
  channel.take_events(drained);
  EXPECT_EQ(drained.records.size(), 10u);
  EXPECT_LE(drained.records.capacity(), ReaderChannel::kKeptRecords);
  EXPECT_LE(hand_over(1).capacity(), ReaderChannel::kKeptRecords);
}

// The real thread: records flow while the window drains concurrently (this
// is the test the thread sanitizer watches).
TEST(ReaderThread, HandsOverEveryRecordWhileTheWindowDrains) {
  class Streaming final : public Port {
   public:
    Result<size_t> read(std::span<uint8_t> buf) override {
      if (n_ == 2000) return fail(Error{0, "done"});
      const std::string line = "n=" + std::to_string(n_++) + "\r\n";
      std::copy(line.begin(), line.end(), buf.begin());
      return line.size();
    }
    Status write_all(std::span<const uint8_t>) override { return {}; }
    Status configure(const PortSettings&) override { return {}; }

   private:
    int n_ = 0;
  };
  auto channel = std::make_shared<ReaderChannel>();
  std::mutex m;
  std::condition_variable cv;
  int posts = 0;
  start_reader(std::make_unique<Streaming>(), channel, 3, [&](uint64_t) {
    std::lock_guard lock(m);
    ++posts;
    cv.notify_all();
  });
  std::vector<std::string> got;
  bool ended = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!ended && std::chrono::steady_clock::now() < deadline) {
    {
      std::unique_lock lock(m);
      cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return posts > 0; });
      posts = 0;
    }
    DrainedEvents e;
    channel->take_events(e);
    for (auto& r : e.records) got.emplace_back(r.bytes.view());
    ended = e.ended;
  }
  // The thread wakes once more after it reports its end; the waker's state
  // here must outlive that call.
  ASSERT_TRUE(channel->wait_ended(30'000));
  ASSERT_TRUE(ended);
  ASSERT_EQ(got.size(), 2000u);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(got[static_cast<size_t>(i)], "n=" + std::to_string(i));
  EXPECT_EQ(channel->bytes_received.load(), [] {
    uint64_t total = 0;
    for (int i = 0; i < 2000; ++i) total += ("n=" + std::to_string(i) + "\r\n").size();
    return total;
  }());
}

// A reader thread may end before the thread that started it has let go of
// it (a port that fails at once). Threads reuse the runtime's per-thread
// records on Windows; the next reader must still run, however often this
// happens and however busy the machine is.
TEST(ReaderThread, AReaderThatEndsAtOnceLeavesTheNextOneWorking) {
  class Lines final : public Port {
   public:
    explicit Lines(int count) : left_(count) {}
    Result<size_t> read(std::span<uint8_t> buf) override {
      if (left_-- <= 0) return fail(Error{0, "gone"});
      buf[0] = 'x';
      buf[1] = '\n';
      return size_t{2};
    }
    Status write_all(std::span<const uint8_t>) override { return {}; }
    Status configure(const PortSettings&) override { return {}; }

   private:
    int left_;
  };
  for (int round = 0; round < 300; ++round) {
    auto gone = std::make_shared<ReaderChannel>();
    start_reader(std::make_unique<Lines>(0), gone, 1, [](uint64_t) {});
    ASSERT_TRUE(gone->wait_ended(10'000)) << "round " << round;
    auto next = std::make_shared<ReaderChannel>();
    start_reader(std::make_unique<Lines>(3), next, 2, [](uint64_t) {});
    ASSERT_TRUE(next->wait_ended(10'000)) << "round " << round;
    DrainedEvents e;
    next->take_events(e);
    ASSERT_EQ(e.records.size(), 3u) << "round " << round;
  }
}

}  // namespace
}  // namespace lw
