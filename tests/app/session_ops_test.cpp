#include "app/session_ops.h"

#include <gtest/gtest.h>

#include "app/fake_ports.h"

namespace lw {
namespace {

using test::wait_until;

class SessionOps : public ::testing::Test {
 protected:
  SessionOps() {
    session.id = next_session_id();
    session.port_name = "COM3";
  }
  // Readers refer to the fixture's clock and counter: they must stop first,
  // including those that already reported their end.
  ~SessionOps() override {
    for (auto& channel : started) {
      channel->push_command(ReaderCommand::close());
      EXPECT_TRUE(channel->wait_ended(10'000));
    }
  }

  bool open(bool reconnect = false) {
    const bool opened = open_session(session, reconnect, ctx);
    if (session.channel) started.push_back(session.channel);
    return opened;
  }

  // Drains until the log holds n lines (or the reader ended).
  DrainOutcome drain_until_lines(size_t n) {
    DrainOutcome last;
    LogOnlyPass pass("");
    wait_until([&] {
      const DrainOutcome d = drain_session(session, pass, 10);
      if (d.ended) last = d;
      return session.log.line_count() >= n || last.ended;
    });
    return last;
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    session.log.for_each_from(
        0, [&](uint64_t, const LineRecord& r) { out.emplace_back(r.bytes.view()); });
    return out;
  }

  test::SharedClock clock;
  test::FakePortSystem ports;
  std::atomic<int> wakeups{0};
  OpenContext ctx{ports, clock, [this](uint64_t) { ++wakeups; }, ""};
  Session session;
  std::vector<std::shared_ptr<ReaderChannel>> started;
};

TEST_F(SessionOps, OpenFailureSetsTheReasonAndLogsNothing) {
  ports.failures["COM3"] = OpenError{OpenFailure::Denied};
  EXPECT_FALSE(open());
  EXPECT_EQ(session.state.kind, ConnectionKind::Failed);
  EXPECT_EQ(session.state.failure, OpenFailure::Denied);
  EXPECT_FALSE(session.watch);
  EXPECT_FALSE(session.channel);
  EXPECT_EQ(session.log.line_count(), 0u);
}

TEST_F(SessionOps, ABusyPortIsWaitedForWithItsHolder) {
  ports.failures["COM3"] = OpenError{OpenFailure::Busy, PortHolder{4242, "minicom"}};
  EXPECT_FALSE(open());
  EXPECT_EQ(session.state.kind, ConnectionKind::Waiting);
  ASSERT_TRUE(session.watch);
  EXPECT_FALSE(session.watch->let_go);
  EXPECT_TRUE(session.watch->taken);
  EXPECT_EQ(session.watch->holder, (PortHolder{4242, "minicom"}));  // named in the state text
  EXPECT_FALSE(session.channel);
  EXPECT_EQ(session.log.line_count(), 0u);
}

TEST_F(SessionOps, ReceivedLinesReachTheLogInOrderAndAReadErrorIsALoss) {
  auto dev = ports.add("COM3");
  dev->push("Arduino ready\r\nT=1\r");
  dev->push("\nT=2\r\npart");
  dev->unplug();
  ASSERT_TRUE(open());
  EXPECT_EQ(session.state.kind, ConnectionKind::Open);
  EXPECT_EQ(session.opened_at, clock.wall.load());
  const DrainOutcome end = drain_until_lines(100);
  EXPECT_TRUE(end.ended);
  EXPECT_TRUE(end.lost);
  EXPECT_FALSE(session.channel);
  // The partial line is emitted before the reader stops.
  EXPECT_EQ(texts(), (std::vector<std::string>{"Arduino ready", "T=1", "T=2", "part"}));
  EXPECT_EQ(session.bytes_received, 29u);
  EXPECT_GT(wakeups.load(), 0);
}

TEST_F(SessionOps, CloseAppendsTheLastBytesThenTheMark) {
  auto dev = ports.add("COM3");
  ASSERT_TRUE(open());
  dev->push("last words");  // no terminator: only Close emits it
  ASSERT_TRUE(wait_until([&] { return session.channel->bytes_received.load() == 10; }));
  clock.wall = millis_from_civil({2026, 12, 6, 14, 3, 22, 517});
  EXPECT_FALSE(close_session(session, clock, "", /*settle_ms=*/10'000));  // reader stopped
  EXPECT_EQ(session.state.kind, ConnectionKind::Closed);
  EXPECT_FALSE(session.channel);
  EXPECT_EQ(texts(), (std::vector<std::string>{"last words", "── Port closed 14:03:22.517 ──"}));
}

TEST_F(SessionOps, ReopeningMarksTheReconnectAndKeepsEarlierBytes) {
  auto dev = ports.add("COM3");
  dev->push("abc\n");
  ASSERT_TRUE(open());
  ASSERT_TRUE(wait_until([&] { return session.channel->bytes_received.load() == 4; }));
  LogOnlyPass pass("");
  drain_session(session, pass, 10);
  clock.wall = millis_from_civil({2026, 12, 6, 10, 15, 9, 884});
  ASSERT_TRUE(open(/*reconnect=*/true));
  EXPECT_EQ(session.reconnects, 1u);
  EXPECT_EQ(session.earlier_bytes_received, 4u);
  EXPECT_EQ(session.bytes_received, 0u);
  EXPECT_EQ(session.opened_at, clock.wall.load());
  EXPECT_EQ(texts().back(), "── Reconnected 10:15:09.884 ──");
  EXPECT_EQ(session.log.back().direction, Direction::Mark);
}

TEST_F(SessionOps, FramingIsTheReadersFirstCommandAndTurnsHexOn) {
  auto dev = ports.add("COM3");
  set_framing(session, FrameSpec{4, ChecksumKind::None, {}}, "", 10);
  EXPECT_TRUE(session.hex_view());
  dev->push("ABCDEFGH\n");
  ASSERT_TRUE(open());
  drain_until_lines(2);
  EXPECT_EQ(texts(), (std::vector<std::string>{"ABCD", "EFGH"}));
}

TEST_F(SessionOps, WritesGoThroughTheReaderAndAreCounted) {
  auto dev = ports.add("COM3");
  ASSERT_TRUE(open());
  send_to_port(session, ReaderCommand::write(Bytes(std::string_view("*IDN?\r\n"))));
  ASSERT_TRUE(wait_until([&] { return dev->written_bytes() == "*IDN?\r\n"; }));
  ASSERT_TRUE(wait_until([&] {
    LogOnlyPass pass("");
    drain_session(session, pass, 10);
    return session.bytes_sent == 7;
  }));
}

TEST_F(SessionOps, DrainKeepsAFollowingViewAtTheEnd) {
  auto dev = ports.add("COM3");
  std::string many;
  for (int i = 0; i < 30; ++i) many += "line\n";
  dev->push(many);
  ASSERT_TRUE(open());
  drain_until_lines(30);
  EXPECT_TRUE(session.log.follow());
  EXPECT_DOUBLE_EQ(session.log.scroll(), 20.0);  // 30 lines, 10 visible rows
}

}  // namespace
}  // namespace lw
