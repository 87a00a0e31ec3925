// The Telnet side of a network port: what a server's bytes become, and what
// the client answers and sends.
#include "serial/telnet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/rfc2217.h"

namespace lw {
namespace {

using namespace telnet;
using Bytes = std::vector<uint8_t>;

struct Fed {
  Bytes data;
  Bytes replies;
  std::vector<Bytes> subs;  // option byte first
};

// Feeds the chunks in turn to a client that offered the COM-PORT-OPTION and
// has already sent its opening.
Fed feed(const std::vector<Bytes>& chunks, TelnetCodec* keep = nullptr) {
  Fed f;
  TelnetCodec local(true, [&](uint8_t option, std::span<const uint8_t> data) {
    Bytes b{option};
    b.insert(b.end(), data.begin(), data.end());
    f.subs.push_back(b);
  });
  TelnetCodec& t = keep ? *keep : local;
  Bytes opening;
  t.open(opening);
  for (Bytes c : chunks) {
    const size_t n = t.receive(c, f.replies);
    f.data.insert(f.data.end(), c.begin(), c.begin() + static_cast<std::ptrdiff_t>(n));
  }
  return f;
}

TEST(Telnet, WhatTheServerSendsBecomesDataAnswersAndSubnegotiations) {
  const struct {
    const char* what;
    std::vector<Bytes> chunks;
    Bytes data;
    Bytes replies;
    size_t subs;
  } cases[] = {
      {"plain bytes", {{'h', 'i', '\n'}}, {'h', 'i', '\n'}, {}, 0},
      {"a doubled IAC is one FF", {{'a', kIac, kIac, 'b'}}, {'a', 0xFF, 'b'}, {}, 0},
      {"an IAC split from its twin", {{'a', kIac}, {kIac, 'b'}}, {'a', 0xFF, 'b'}, {}, 0},
      {"the server agrees: no answer, no loop",
       {{kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kBinary}},
       {},
       {},
       0},
      {"echo is refused once", {{kIac, kWill, kEcho}}, {}, {kIac, kDont, kEcho}, 0},
      {"an unknown option asked of us is refused",
       {{kIac, kDo, 99, 'x'}},
       {'x'},
       {kIac, kWont, 99},
       0},
      {"a command split after its verb",
       {{kIac, kWill}, {kEcho, 'z'}},
       {'z'},
       {kIac, kDont, kEcho},
       0},
      {"a sub-negotiation of the com port, split anywhere",
       {{kIac, kDo, kComPort, kIac, kSb, kComPort, 101, 0, 1}, {0xC2, 0, kIac}, {kSe, 'k'}},
       {'k'},
       {},
       1},
      {"an escaped IAC inside a sub-negotiation",
       {{kIac, kDo, kComPort, kIac, kSb, kComPort, 102, kIac, kIac, kIac, kSe}},
       {},
       {},
       1},
      {"a sub-negotiation of an option never agreed is dropped",
       {{kIac, kSb, 24, 1, 2, kIac, kSe, 'q'}},
       {'q'},
       {},
       0},
      {"a sub-negotiation cut short by a command",
       {{kIac, kDo, kComPort, kIac, kSb, kComPort, 101, kIac, kWill, kEcho, 'r'}},
       {'r'},
       {kIac, kDont, kEcho},
       0},
      {"NOP, GA and a stray SE are no data",
       {{kIac, 241, kIac, 249, kIac, kSe, 's'}},
       {'s'},
       {},
       0},
      {"outside binary mode CR NUL is a CR", {{'a', '\r', 0, 'b'}}, {'a', '\r', 'b'}, {}, 0},
  };
  for (const auto& c : cases) {
    const Fed f = feed(c.chunks);
    EXPECT_EQ(f.data, c.data) << c.what;
    EXPECT_EQ(f.replies, c.replies) << c.what;
    EXPECT_EQ(f.subs.size(), c.subs) << c.what;
  }
}

TEST(Telnet, SubnegotiationsArriveUnescapedAndOverlongOnesAreDropped) {
  Fed f = feed({{kIac, kDo, kComPort, kIac, kSb, kComPort, 102, kIac, kIac, kIac, kSe}});
  ASSERT_EQ(f.subs.size(), 1u);
  EXPECT_EQ(f.subs[0], (Bytes{kComPort, 102, 0xFF}));

  Bytes long_sub{kIac, kDo, kComPort, kIac, kSb, kComPort};
  long_sub.insert(long_sub.end(), kMaxSubnegotiation + 10, 7);
  long_sub.insert(long_sub.end(), {kIac, kSe, 'n'});
  f = feed({long_sub});
  EXPECT_TRUE(f.subs.empty());
  EXPECT_EQ(f.data, Bytes{'n'});
}

TEST(Telnet, TheComPortAgreementFollowsTheServersAnswer) {
  const struct {
    Bytes answer;
    TelnetCodec::Agreement agreement;
  } cases[] = {
      {{}, TelnetCodec::Agreement::Asked},
      {{kIac, kDo, kComPort}, TelnetCodec::Agreement::Yes},
      {{kIac, kDont, kComPort}, TelnetCodec::Agreement::Refused},
  };
  for (const auto& c : cases) {
    TelnetCodec t(true, {});
    feed({c.answer}, &t);
    EXPECT_EQ(t.com_port(), c.agreement);
  }
  TelnetCodec plain(false, {});
  Bytes opening;
  plain.open(opening);
  EXPECT_EQ(plain.com_port(), TelnetCodec::Agreement::Refused);
  EXPECT_EQ(opening, (Bytes{kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kSuppressGoAhead,
                            kIac, kDo, kSuppressGoAhead}));
}

TEST(Telnet, SentDataIsEscaped) {
  TelnetCodec t(true, {});
  Bytes out;
  const Bytes data{'a', 0xFF, '\r', 'b', '\r', '\n', '\r'};
  // Before the server takes binary mode a lone CR goes as CR NUL.
  t.encode(data, out);
  EXPECT_EQ(out, (Bytes{'a', 0xFF, 0xFF, '\r', 0, 'b', '\r', '\n', '\r', 0}));
  Bytes replies;
  Bytes agree{kIac, kDo, kBinary};
  t.receive(agree, replies);
  out.clear();
  t.encode(data, out);
  EXPECT_EQ(out, (Bytes{'a', 0xFF, 0xFF, '\r', 'b', '\r', '\n', '\r'}));
}

TEST(ComPortSettings, RequestsEverySettingAndNamesWhatTheServerDidNotTake) {
  ComPortSettings com;
  Bytes out;
  PortSettings s;
  s.baud = 115200;
  s.data_bits = 7;
  s.parity = 2;
  s.stop_bits = 2;
  s.dtr = false;
  com.request(s, out);
  const Bytes baud{kIac, kSb, kComPort, 1, 0x00, 0x01, 0xC2, 0x00, kIac, kSe};
  ASSERT_GE(out.size(), baud.size());
  EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(baud.size())), baud);
  const auto has = [&](Bytes sub) {
    return std::search(out.begin(), out.end(), sub.begin(), sub.end()) != out.end();
  };
  EXPECT_TRUE(has({kIac, kSb, kComPort, 2, 7, kIac, kSe}));
  EXPECT_TRUE(has({kIac, kSb, kComPort, 3, 3, kIac, kSe}));   // even
  EXPECT_TRUE(has({kIac, kSb, kComPort, 4, 2, kIac, kSe}));   // two stop bits
  EXPECT_TRUE(has({kIac, kSb, kComPort, 5, 9, kIac, kSe}));   // DTR off
  EXPECT_TRUE(has({kIac, kSb, kComPort, 5, 11, kIac, kSe}));  // RTS on

  // The server took all but the baud rate and DTR; notifications change nothing.
  com.answer(Bytes{101, 0x00, 0x00, 0x25, 0x80});
  com.answer(Bytes{102, 7});
  com.answer(Bytes{103, 3});
  com.answer(Bytes{104, 2});
  com.answer(Bytes{105, 8});
  com.answer(Bytes{106, 0x60});
  com.answer(Bytes{107, 0xB0});
  com.answer(Bytes{101});  // cut short
  EXPECT_EQ(com.refused(), (std::vector<std::string>{"115200", "DTR"}));

  // A parity refused names the frame; a new request forgets old refusals.
  com.answer(Bytes{103, 1});
  EXPECT_EQ(com.refused(), (std::vector<std::string>{"115200", "7E2", "DTR"}));
  out.clear();
  com.request(s, out);
  EXPECT_TRUE(com.refused().empty());
}

}  // namespace
}  // namespace lw
