#include "lab/latency.h"

#include <gtest/gtest.h>

#include "support/memory_settings.h"

namespace lw {
namespace {

class ReplyTimesTest : public ::testing::Test {
 protected:
  void SetUp() override { settings.set_dword("Latency", 1); }
  test::MemorySettings settings;
  ReplyTimes replies;
};

TEST_F(ReplyTimesTest, OnlyTheFirstLineAfterASendIsMeasured) {
  replies.on_send(1'000);
  replies.on_received_line(7, 1'012, 0, settings);
  replies.on_received_line(8, 1'030, 0, settings);
  EXPECT_EQ(replies.reply_time(7), 12);
  EXPECT_FALSE(replies.reply_time(8));
  EXPECT_FALSE(replies.pending_reply());
}

TEST_F(ReplyTimesTest, RepeatedSendsToASilentDeviceMeasureFromTheLatest) {
  for (Millis t = 0; t <= 500; t += 100) replies.on_send(t);
  EXPECT_EQ(replies.size(), 0u);
  replies.on_received_line(3, 540, 0, settings);
  EXPECT_EQ(replies.reply_time(3), 40);
}

TEST_F(ReplyTimesTest, NoSendNoEntry) {
  replies.on_received_line(0, 100, 0, settings);
  EXPECT_EQ(replies.size(), 0u);
}

TEST_F(ReplyTimesTest, TheSettingIsReadPerLine) {
  settings.set_dword("Latency", 0);
  replies.on_send(0);
  replies.on_received_line(0, 5, 0, settings);  // off: the send is used up unmeasured
  EXPECT_FALSE(replies.reply_time(0));
  replies.on_send(10);
  settings.set_dword("Latency", 1);  // turned on between the send and its answer
  replies.on_received_line(1, 25, 0, settings);
  EXPECT_EQ(replies.reply_time(1), 15);
  settings.set_dword("Latency", 0);
  EXPECT_EQ(replies.reply_time(1), 15);  // entries stay visible once off
  test::MemorySettings fresh;            // missing means off
  replies.on_send(30);
  replies.on_received_line(2, 40, 0, fresh);
  EXPECT_FALSE(replies.reply_time(2));
}

TEST_F(ReplyTimesTest, ANegativeTimeAfterAClockStepIsKept) {
  replies.on_send(5'000);
  replies.on_received_line(0, 4'000, 0, settings);
  EXPECT_EQ(replies.reply_time(0), -1'000);
}

TEST_F(ReplyTimesTest, PrunesLinesThatLeftTheLogPastTheLimit) {
  for (uint64_t n = 0; n < kReplyTimesPruneAt; ++n) {
    replies.on_send(0);
    replies.on_received_line(n, 1, 0, settings);
  }
  EXPECT_EQ(replies.size(), kReplyTimesPruneAt);
  replies.on_send(0);
  replies.on_received_line(kReplyTimesPruneAt, 1, 15'000, settings);
  EXPECT_EQ(replies.size(), kReplyTimesPruneAt + 1 - 15'000);
  EXPECT_FALSE(replies.reply_time(14'999));
  EXPECT_EQ(replies.reply_time(15'000), 1);
  replies.clear();
  EXPECT_EQ(replies.size(), 0u);
}

}  // namespace
}  // namespace lw
