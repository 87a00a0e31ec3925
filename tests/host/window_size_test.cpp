#include "host/window_size.h"

#include <gtest/gtest.h>

#include "settings/values.h"

namespace lw {
namespace {

TEST(WindowSize, RoundTripsInTheStoresLength) {
  for (const WindowSize s : {WindowSize{1180, 738, false}, WindowSize{900, 560, true},
                             WindowSize{1, kMaxWindowSide, false}}) {
    const std::vector<uint8_t> bytes = encode_window_size(s);
    ASSERT_EQ(bytes.size(), kPlacementSize);
    EXPECT_EQ(decode_window_size(bytes), s);
  }
}

TEST(WindowSize, LayoutIsLittleEndianAfterItsMark) {
  const std::vector<uint8_t> b = encode_window_size({0x0102, 0x0304, true});
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 20),
            (std::vector<uint8_t>{'L', 'W', 'W',  'S',  1, 0, 0, 0, 0x02, 0x01,
                                  0,   0,   0x04, 0x03, 0, 0, 1, 0, 0,    0}));
}

TEST(WindowSize, ClampsSidesWhenWriting) {
  EXPECT_EQ(decode_window_size(encode_window_size({0, -5, false})), (WindowSize{1, 1, false}));
  EXPECT_EQ(decode_window_size(encode_window_size({100000, 700, false})),
            (WindowSize{kMaxWindowSide, 700, false}));
}

TEST(WindowSize, IgnoresMalformedValues) {
  const std::vector<uint8_t> good = encode_window_size({1000, 700, false});
  // The good value with one little-endian field replaced.
  auto with = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  std::vector<uint8_t> windows_placement(kPlacementSize, 0);
  windows_placement[0] = 44;  // a WINDOWPLACEMENT starts with its length
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  const std::vector<std::vector<uint8_t>> bad = {
      {},
      std::vector<uint8_t>(good.begin(), good.end() - 1),
      longer,
      windows_placement,
      with(0, 0x5357574D),   // another mark
      with(4, 2),            // a later layout
      with(8, 0),            // width 0
      with(8, 32768),        // width too big
      with(12, 0x80000000),  // height negative as a signed number
      with(12, 0),
      with(16, 2),  // unknown flags
      with(16, 0x01000001),
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_FALSE(decode_window_size(bad[i]).has_value()) << "case " << i;
  }
  // The reserved tail is not looked at.
  EXPECT_TRUE(decode_window_size(with(40, 9)).has_value());
}

}  // namespace
}  // namespace lw
