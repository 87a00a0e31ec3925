#include "send/history.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(SendHistory, SameAsNewestOrEmptyIsNotAdded) {
  SendHistory h;
  for (const char* t : {"a", "a", "", "b", "a"}) h.add_sent(t);
  EXPECT_EQ(h.entries(), (std::vector<std::string>{"a", "b", "a"}));
}

TEST(SendHistory, HundredEntriesFromTheBox) {
  SendHistory h;
  for (int i = 1; i <= 101; ++i) h.add_sent(std::to_string(i));
  ASSERT_EQ(h.entries().size(), 100u);
  EXPECT_EQ(h.entries().front(), "2");
  EXPECT_EQ(h.entries().back(), "101");
}

TEST(SendHistory, RepeatsAddWithoutTheLimit) {
  SendHistory h;
  for (int i = 1; i <= 105; ++i) h.add_repeated(std::to_string(i));
  h.add_repeated("105");
  EXPECT_EQ(h.entries().size(), 105u);
  // The next send from the box drops one, the oldest.
  h.add_sent("x");
  EXPECT_EQ(h.entries().size(), 105u);
  EXPECT_EQ(h.entries().front(), "2");
}

TEST(SendHistory, UpAndDown) {
  SendHistory h;
  EXPECT_EQ(h.older(), std::nullopt);
  EXPECT_EQ(h.newer(), std::nullopt);
  for (const char* t : {"a", "b", "c"}) h.add_sent(t);
  EXPECT_EQ(h.newer(), "");  // Down before Up empties the box
  EXPECT_EQ(h.older(), "c");
  EXPECT_EQ(h.older(), "b");
  EXPECT_EQ(h.newer(), "c");
  EXPECT_EQ(h.newer(), "");
  EXPECT_EQ(h.cursor(), std::nullopt);
  EXPECT_EQ(h.older(), "c");
  EXPECT_EQ(h.older(), "b");
  EXPECT_EQ(h.older(), "a");
  EXPECT_EQ(h.older(), "a");  // stops at the oldest
  h.add_sent("d");
  EXPECT_EQ(h.cursor(), std::nullopt);  // a send starts the walk over
  EXPECT_EQ(h.older(), "d");
}

}  // namespace
}  // namespace lw
