// The termios2 bits for each setting, against the kernel's own constants.
#include <asm/termbits.h>
#include <gtest/gtest.h>

#include "serial/termios2_linux.h"

namespace lw {
namespace {

TEST(Termios2, DataBitsParityAndStopBits) {
  const struct {
    uint8_t data_bits, parity, stop_bits;
    uint32_t want;
  } cases[] = {
      {8, 0, 0, CS8},
      {7, 1, 0, CS7 | PARENB | PARODD},
      {7, 2, 2, CS7 | PARENB | CSTOPB},
      {6, 3, 0, CS6 | PARENB | PARODD | CMSPAR},  // mark
      {5, 4, 1, CS5 | PARENB | CMSPAR | CSTOPB},  // space; 1.5 as two
  };
  const uint32_t framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
  for (const auto& c : cases) {
    // Start from a line set the other way in every bit that matters.
    LineFlags before;
    before.cflag = CS8 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | B9600 | HUPCL;
    const LineFlags f =
        line_flags_for(before, PortSettings{9600, c.data_bits, c.parity, c.stop_bits, true, true});
    EXPECT_EQ(f.cflag & framing, c.want) << int{c.data_bits} << int{c.parity};
    EXPECT_EQ(f.cflag & CBAUD, static_cast<uint32_t>(BOTHER));
    EXPECT_EQ(f.cflag & CIBAUD, static_cast<uint32_t>(BOTHER) << IBSHIFT);
    EXPECT_EQ(f.cflag & CRTSCTS, 0u);
    EXPECT_EQ(f.cflag & (CREAD | CLOCAL), static_cast<uint32_t>(CREAD | CLOCAL));
    EXPECT_NE(f.cflag & HUPCL, 0u);  // untouched
  }
}

TEST(Termios2, RawAnyBaudNoWaiting) {
  LineFlags cooked;
  cooked.iflag = ICRNL | IXON | IXOFF | ISTRIP | BRKINT | IMAXBEL;
  cooked.oflag = OPOST | ONLCR;
  cooked.lflag = ECHO | ICANON | ISIG | IEXTEN | ECHOE | ECHOK;
  cooked.vmin = 1;
  cooked.vtime = 5;
  for (uint32_t baud : {50u, 74880u, 250000u, 12000000u}) {
    const LineFlags f = line_flags_for(cooked, PortSettings{baud, 8, 0, 0, true, true});
    EXPECT_EQ(f.ispeed, baud);
    EXPECT_EQ(f.ospeed, baud);
    EXPECT_EQ(f.iflag, 0u);
    EXPECT_EQ(f.oflag & OPOST, 0u);
    EXPECT_EQ(f.lflag, 0u);
    EXPECT_EQ(f.vmin, 0);
    EXPECT_EQ(f.vtime, 0);
  }
}

}  // namespace
}  // namespace lw
