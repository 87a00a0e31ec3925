// The Windows serial port where no hardware is present.
#include <gtest/gtest.h>

#include "serial/serial_port.h"

namespace lw {
namespace {

TEST(SerialWin32, AbsentPortIsMissing) {
  auto r = open_port("COM219", {});
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), OpenFailure::Missing);
}

}  // namespace
}  // namespace lw
