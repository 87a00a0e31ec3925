#include "lab/summary.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(SessionSummary, EightLinesInOrder) {
  const Millis started = millis_from_civil(CivilTime{2026, 12, 6, 9, 5, 3, 7});
  SummaryCounters c;
  c.port_name = "COM3";
  c.description = "Arduino Uno";
  c.started = started;
  c.now = started + 26 * 3'600'000LL;
  c.lines_received = 123456;
  c.bytes_received = 1'572'864;
  c.disconnects = 2;
  c.reconnects = 1;
  c.alerts = 17;
  EXPECT_EQ(session_summary(c),
            "Port: COM3 \xC2\xB7 Arduino Uno\n"
            "Started: 2026-12-06 09:05:03.007\n"
            "Running for: 26:00:00\n"
            "Lines received: 123456\n"
            "Bytes received: 1.5 MB\n"
            "Disconnects: 2\n"
            "Reconnects: 1\n"
            "Alerts: 17");
  c.description = {};
  c.now = started + 59'999;
  const std::string text = session_summary(c);
  EXPECT_EQ(text.substr(0, text.find('\n')), "Port: COM3");
  EXPECT_NE(text.find("Running for: 0:00:59\n"), std::string::npos);
}

TEST(SessionSummary, ByteUnits) {
  EXPECT_EQ(byte_amount(0), "0 B");
  EXPECT_EQ(byte_amount(1023), "1023 B");
  EXPECT_EQ(byte_amount(1024), "1.0 KB");
  EXPECT_EQ(byte_amount(1536), "1.5 KB");
  EXPECT_EQ(byte_amount(1'572'864), "1.5 MB");
  EXPECT_EQ(byte_amount(3ull << 30), "3.0 GB");
  EXPECT_EQ(byte_amount(5ull << 40), "5120.0 GB");  // never past GB
}

TEST(SessionSummary, RunningTime) {
  EXPECT_EQ(running_time(0), "0:00:00");
  EXPECT_EQ(running_time(3'599'999), "0:59:59");
  EXPECT_EQ(running_time(3'600'000), "1:00:00");
  EXPECT_EQ(running_time(26 * 3'600'000LL + 61'000), "26:01:01");
  EXPECT_EQ(running_time(-5'000), "0:00:00");  // a clock that stepped back
}

}  // namespace
}  // namespace lw
