#include "update/version.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(VersionParts, ReadsDecimalPartsAndCountsTheRestAsZero) {
  struct Case {
    const char* text;
    std::vector<uint32_t> parts;
  };
  const Case cases[] = {
      {"0.1.0", {0, 1, 0}},
      {"v1.2", {1, 2}},
      {"vv1.2", {1, 2}},
      {" \t1.2.3\r\n", {1, 2, 3}},
      {"1.2.3-beta", {1, 2, 0}},
      {"1..2", {1, 0, 2}},
      {"", {0}},
      {"1.", {1, 0}},
      {"V1.2", {0, 2}},                             // only a lower-case v is dropped
      {"1.+2.-3", {1, 0, 0}},                       // signs are not part of a number
      {"4294967295.4294967296", {4294967295u, 0}},  // above 32 bits counts as 0
      {"010.2", {10, 2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(version_parts(c.text), c.parts) << c.text;
  }
}

TEST(VersionCompare, OnlyAGreaterVersionIsNewer) {
  struct Case {
    const char* offered;
    bool newer;
  };
  const Case cases[] = {
      {"0.1.0", false}, {"v0.1.0", false},   {"0.1", false},  {"0.1.0.0", false},
      {"0.0.9", false}, {"0.1.0-rc", false}, {"0.1.1", true}, {"0.2", true},
      {"1", true},      {"0.1.0.1", true},   {"0.10", true},  {"garbage", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_newer_version(c.offered), c.newer) << c.offered;
  }
  EXPECT_EQ(kProgramVersion, "0.1.0");
}

TEST(VersionCompare, PadsTheShorterWithZeros) {
  EXPECT_EQ(compare_versions("1.2", "1.2.0.0"), std::strong_ordering::equal);
  EXPECT_EQ(compare_versions("1.2", "1.2.0.1"), std::strong_ordering::less);
  EXPECT_EQ(compare_versions("1.10", "1.9"), std::strong_ordering::greater);
  EXPECT_EQ(compare_versions("2", "1.99.99"), std::strong_ordering::greater);
}

}  // namespace
}  // namespace lw
