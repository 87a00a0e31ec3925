#include "base/cp949.h"

#include <gtest/gtest.h>

#include <thread>

namespace lw {
namespace {

TEST(Cp949, Pairs) {
  EXPECT_EQ(cp949_pair(0xB0, 0xA1), std::optional<char32_t>(U'가'));
  EXPECT_EQ(cp949_pair(0xC7, 0xD1), std::optional<char32_t>(U'한'));
  EXPECT_EQ(cp949_pair(0xC8, 0xFE), std::optional<char32_t>(U'힝'));
  // The Unified Hangul Code extension beyond the KS X 1001 grid.
  EXPECT_EQ(cp949_pair(0x81, 0x41), std::optional<char32_t>(U'\uAC02'));
  EXPECT_EQ(cp949_pair(0xC6, 0x52), std::optional<char32_t>(U'\uD7A3'));
  // Symbols and Hanja of KS X 1001.
  EXPECT_EQ(cp949_pair(0xA1, 0xA1), std::optional<char32_t>(U'\u3000'));
  EXPECT_EQ(cp949_pair(0xCA, 0xA1), std::optional<char32_t>(U'伽'));
  EXPECT_EQ(cp949_pair(0xA2, 0xE6), std::optional<char32_t>(U'€'));
}

TEST(Cp949, RefusedPairs) {
  const std::pair<uint8_t, uint8_t> refused[] = {
      {0xB0, 0x20},                // trail byte below the range
      {0xB0, 0x5B},                // gap between the letter ranges of the extension
      {0xB0, 0xFF}, {0xFF, 0xA1},  // no such lead byte
      {0x80, 0xA1}, {0x41, 0x42},  // two ASCII letters are two characters
      {0xA2, 0xE8},                // unassigned symbol cell
      {0xC6, 0xA0},                // between the extension and the KS X 1001 grid
  };
  for (const auto& [a, b] : refused) {
    EXPECT_EQ(cp949_pair(a, b), std::nullopt) << std::hex << int{a} << " " << int{b};
  }
}

TEST(Cp949, WorksOnAnotherThread) {
  std::optional<char32_t> got;
  std::thread t([&] { got = cp949_pair(0xB0, 0xA1); });
  t.join();
  EXPECT_EQ(got, std::optional<char32_t>(U'가'));
  EXPECT_EQ(cp949_pair(0xB0, 0xA1), std::optional<char32_t>(U'가'));
}

}  // namespace
}  // namespace lw
