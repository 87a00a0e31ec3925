#include "gfx/layout_cache.h"

#include <gtest/gtest.h>

#include <memory>

namespace lw {
namespace {

TEST(LayoutCache, KeyedByTextWidthFormatAndAlignment) {
  LayoutCache<int> cache(8);
  EXPECT_EQ(cache.find("abc", 100, TextFormat::normal, Align::leading), nullptr);
  cache.insert(1);
  ASSERT_NE(cache.find("abc", 100, TextFormat::normal, Align::leading), nullptr);
  EXPECT_EQ(*cache.find("abc", 100, TextFormat::normal, Align::leading), 1);
  EXPECT_EQ(cache.find("abc", 101, TextFormat::normal, Align::leading), nullptr);
  EXPECT_EQ(cache.find("abc", 100, TextFormat::mono, Align::leading), nullptr);
  EXPECT_EQ(cache.find("abc", 100, TextFormat::normal, Align::centre), nullptr);
  EXPECT_EQ(cache.find("abcd", 100, TextFormat::normal, Align::leading), nullptr);
  EXPECT_EQ(cache.find(std::string_view("abc\0", 4), 100, TextFormat::normal, Align::leading),
            nullptr);
}

TEST(LayoutCache, DropsTheLeastRecentlyUsed) {
  LayoutCache<std::unique_ptr<int>> cache(2);
  ASSERT_EQ(cache.find("a", 1, TextFormat::normal, Align::leading), nullptr);
  cache.insert(std::make_unique<int>(1));
  ASSERT_EQ(cache.find("b", 1, TextFormat::normal, Align::leading), nullptr);
  cache.insert(std::make_unique<int>(2));
  ASSERT_NE(cache.find("a", 1, TextFormat::normal, Align::leading), nullptr);  // a is now newest
  ASSERT_EQ(cache.find("c", 1, TextFormat::normal, Align::leading), nullptr);
  cache.insert(std::make_unique<int>(3));
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(cache.find("b", 1, TextFormat::normal, Align::leading), nullptr);
  ASSERT_NE(cache.find("a", 1, TextFormat::normal, Align::leading), nullptr);
  EXPECT_EQ(**cache.find("a", 1, TextFormat::normal, Align::leading), 1);
  ASSERT_NE(cache.find("c", 1, TextFormat::normal, Align::leading), nullptr);
  EXPECT_EQ(**cache.find("c", 1, TextFormat::normal, Align::leading), 3);
  cache.clear();
  EXPECT_EQ(cache.find("a", 1, TextFormat::normal, Align::leading), nullptr);
}

}  // namespace
}  // namespace lw
