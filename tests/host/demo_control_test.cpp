#include "host/demo_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lw {
namespace {

struct LineCase {
  const char* line;
  std::optional<AppMessage> want;
};

bool same(const std::optional<AppMessage>& a, const std::optional<AppMessage>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->number == b->number && a->param1 == b->param1 && a->param2 == b->param2);
}

TEST(DemoControlLine, ReadsTheFourMessages) {
  const LineCase cases[] = {
      {"30 1", AppMessage{30, 1, 0}},
      {"31 500 10", AppMessage{31, 500, 10}},
      {"31 500 0", AppMessage{31, 500, 0}},
      {"31 250 -1", AppMessage{31, 250, -1}},  // until stopped
      {"32 1", AppMessage{32, 1, 0}},
      {"32 0", AppMessage{32, 0, 0}},
      {"33 1", AppMessage{33, 1, 0}},
      // Blanks around and between the words, and a CR LF sender's CR.
      {"  30\t 2  ", AppMessage{30, 2, 0}},
      {"31  20\t\t3\r", AppMessage{31, 20, 3}},
      {"30 18446744073709551615", AppMessage{30, UINT64_MAX, 0}},
  };
  for (const LineCase& c : cases) {
    EXPECT_TRUE(same(parse_demo_control_line(c.line), c.want)) << '"' << c.line << '"';
  }
}

TEST(DemoControlLine, RefusesEverythingElse) {
  const char* bad[] = {
      "",
      "   ",
      "\r",
      "30",
      "30 1 2",
      "31 500",
      "31 500 10 1",
      "32",
      "1 5",
      "2 0",
      "3 0",
      "29 1",
      "33",
      "33 1 2",
      "34 1",
      "0 0",
      "-30 1",
      "30 -1",
      "31 -5 10",
      "30 x",
      "30 1x",
      "30 0x1",
      "30 +1",
      "30 1.0",
      "3O 1",
      "30 18446744073709551616",
      "31 1 9223372036854775808",
      "30,1",
      "30\n1",
      "\xEF\xBB\xBF"
      "30 1",
  };
  for (const char* line : bad) {
    EXPECT_FALSE(parse_demo_control_line(line).has_value()) << '"' << line << '"';
  }
}

std::vector<std::string> feed_all(DemoLineBuffer& b,
                                  std::initializer_list<std::string_view> parts) {
  std::vector<std::string> lines;
  for (std::string_view p : parts) b.feed(p, [&](std::string_view l) { lines.emplace_back(l); });
  return lines;
}

TEST(DemoLineBuffer, JoinsPiecesAndSplitsAtLineFeeds) {
  DemoLineBuffer b;
  EXPECT_EQ(feed_all(b, {"30 ", "1\n31 500", " 10\r\n\n32 1"}),
            (std::vector<std::string>{"30 1", "31 500 10\r", ""}));
  // What is left at the end of the connection still counts.
  EXPECT_EQ(b.finish(), std::optional<std::string>("32 1"));
  EXPECT_EQ(b.finish(), std::nullopt);
}

TEST(DemoLineBuffer, DropsAnOverlongLineWholeAndCarriesOn) {
  DemoLineBuffer b;
  const std::string longest(DemoLineBuffer::kMaxLine, '7');
  const std::string too_long(DemoLineBuffer::kMaxLine + 1, '7');
  EXPECT_EQ(feed_all(b, {longest, "\n", too_long.substr(0, 50), too_long.substr(50), "\n30 1\n"}),
            (std::vector<std::string>{longest, "30 1"}));
  // An overlong line cut off by the end of the connection is dropped too.
  feed_all(b, {too_long});
  EXPECT_EQ(b.finish(), std::nullopt);
}

}  // namespace
}  // namespace lw
