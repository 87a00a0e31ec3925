#include "send/sequence.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

using S = SequenceStep;

TEST(ParseSequence, Table) {
  struct Case {
    const char* text;
    std::vector<S> want;
  } cases[] = {
      {"*RST | wait 500 | MEAS:VOLT?", {S::send("*RST"), S::wait(500), S::send("MEAS:VOLT?")}},
      {"WAIT 2s", {S::wait(2000)}},
      {"wait 2S", {S::wait(2000)}},
      {"wait 0.5 s", {S::wait(500)}},
      {"wait 250ms", {S::wait(250)}},
      {"wait 250 ms", {S::wait(250)}},
      {"delay 250", {S::wait(250)}},
      {"Delay  +7", {S::wait(7)}},
      {"\xEB\x8C\x80\xEA\xB8\xB0 3\xEC\xB4\x88", {S::wait(3000)}},     // 대기 3초
      {"\xEB\x8C\x80\xEA\xB8\xB0 1.5 \xEC\xB4\x88", {S::wait(1500)}},  // 대기 1.5 초
      {"wait -5", {S::wait(0)}},
      {"wait 4000s", {S::wait(3'600'000)}},
      {"wait 3600001", {S::wait(3'600'000)}},
      {"wait 1.9", {S::wait(1)}},
      {"wait 1e3", {S::wait(1000)}},
      {"wait 2h", {S::send("wait 2h")}},
      {"wait500", {S::send("wait500")}},
      {"wait ", {S::send("wait")}},
      {"wait ms", {S::send("wait ms")}},
      {"wait s", {S::send("wait s")}},
      {"wait +-5", {S::send("wait +-5")}},
      {"Wait for it", {S::send("Wait for it")}},
      {"| |", {}},
      {"", {}},
      {"  a  ||  b  ", {S::send("a"), S::send("b")}},
      {"A | wait 2000", {S::send("A"), S::wait(2000)}},
      {"meas:volt?", {S::send("meas:volt?")}},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_sequence(c.text), c.want) << c.text;
}

}  // namespace
}  // namespace lw
