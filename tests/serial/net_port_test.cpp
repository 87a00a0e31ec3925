// A network port against a server the test plays on 127.0.0.1 (a real
// socket on both targets): the opening negotiation and settings, IAC both
// ways, refusals, a server that goes away, and the two ways a connection
// can fail.
#include "serial/net_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "serial/loopback_server.h"
#include "serial/telnet.h"

namespace lw {
namespace {

using namespace telnet;
using Bytes = std::vector<uint8_t>;

bool contains(const Bytes& in, const Bytes& part) {
  return std::search(in.begin(), in.end(), part.begin(), part.end()) != in.end();
}

std::unique_ptr<Port> port_to(const std::string& scheme, uint16_t port, PortSettings s = {}) {
  auto a = parse_port_address(scheme + "://127.0.0.1:" + std::to_string(port));
  EXPECT_TRUE(a.ok());
  return make_net_port(*a, s);
}

// Connects on a thread of its own, as the reader does, while the test
// plays the server; joined before the result is looked at.
class Connecting {
 public:
  explicit Connecting(Port& port)
      : thread_([this, &port] { result_ = port.connect([this] { return cancel_.load(); }); }) {}
  ~Connecting() { (void)finish(); }
  Result<void, OpenError> finish() {
    if (thread_.joinable()) thread_.join();
    return result_;
  }
  void cancel() { cancel_ = true; }

 private:
  std::atomic<bool> cancel_{false};
  Result<void, OpenError> result_{};
  std::thread thread_;
};

// Reads from the port until `want` bytes came or ten seconds passed.
Bytes read_port(Port& port, size_t want) {
  Bytes got;
  uint8_t buf[256];
  for (int i = 0; i < 200 && got.size() < want; ++i) {
    Result<size_t> n = port.read(buf);
    if (!n) break;
    got.insert(got.end(), buf, buf + *n);
  }
  return got;
}

TEST(NetPort, Rfc2217NegotiatesSetsTheLineAndEscapesBothWays) {
  test::LoopbackServer server;
  ASSERT_TRUE(server.ok());
  PortSettings s;
  s.baud = 115200;
  auto port = port_to("rfc2217", server.port(), s);
  ASSERT_TRUE(port->connects_later());
  Connecting connecting(*port);
  ASSERT_TRUE(server.accept());
  Bytes from_client;
  ASSERT_TRUE(server.read_at_least(from_client, 15));
  EXPECT_TRUE(contains(from_client, {kIac, kWill, kComPort}));
  // The server agrees, and the device has already said something.
  ASSERT_TRUE(server.send(Bytes{kIac, kDo, kComPort, kIac, kWill, kBinary, kIac, kDo, kBinary, 'h',
                                'i', kIac, kIac, '\n'}));
  ASSERT_TRUE(connecting.finish().ok());
  EXPECT_TRUE(port->link_report().up);

  // Purge, then every setting, the baud rate first.
  from_client.clear();
  ASSERT_TRUE(server.read_at_least(from_client, 10));
  server.read(from_client, 200);
  EXPECT_TRUE(contains(from_client, {kIac, kSb, kComPort, 12, 3, kIac, kSe}));
  EXPECT_TRUE(contains(from_client, {kIac, kSb, kComPort, 1, 0, 1, 0xC2, 0, kIac, kSe}));
  EXPECT_EQ(read_port(*port, 4), (Bytes{'h', 'i', 0xFF, '\n'}));

  // Sent data has its IAC doubled; binary mode keeps a lone CR as it is.
  ASSERT_TRUE(port->write_all(Bytes{'A', 0xFF, '\r'}).ok());
  from_client.clear();
  ASSERT_TRUE(server.read_at_least(from_client, 4));
  EXPECT_EQ(from_client, (Bytes{'A', 0xFF, 0xFF, '\r'}));

  // A new baud rate goes out at once; the server answers another rate, and
  // the refusal is in the report while the port stays usable.
  s.baud = 921600;
  ASSERT_TRUE(port->configure(s).ok());
  from_client.clear();
  ASSERT_TRUE(server.read_at_least(from_client, 10));
  EXPECT_TRUE(contains(from_client, {kIac, kSb, kComPort, 1, 0, 0x0E, 0x10, 0, kIac, kSe}));
  ASSERT_TRUE(server.send(Bytes{kIac, kSb, kComPort, 101, 0, 1, 0xC2, 0, kIac, kSe, kIac, kSb,
                                kComPort, 107, 0xB0, kIac, kSe, 'o', 'k'}));
  EXPECT_EQ(read_port(*port, 2), (Bytes{'o', 'k'}));
  EXPECT_EQ(port->link_report().refused, std::vector<std::string>{"921600"});

  // The server going away ends the connection with an error.
  server.drop_client();
  Result<size_t> r = size_t{0};
  uint8_t buf[64];
  for (int i = 0; i < 200 && r.ok(); ++i) r = port->read(buf);
  EXPECT_FALSE(r.ok());
}

TEST(NetPort, AServerWithoutTheComPortOptionIsUsedWithoutSettings) {
  test::LoopbackServer server;
  ASSERT_TRUE(server.ok());
  auto port = port_to("rfc2217", server.port());
  Connecting connecting(*port);
  ASSERT_TRUE(server.accept());
  ASSERT_TRUE(server.send(Bytes{kIac, kDont, kComPort}));
  ASSERT_TRUE(connecting.finish().ok());
  const LinkReport r = port->link_report();
  EXPECT_TRUE(r.up);
  EXPECT_TRUE(r.no_settings);
  PortSettings s;
  s.baud = 300;
  EXPECT_TRUE(port->configure(s).ok());
}

TEST(NetPort, RawTcpCarriesTheBytesAsTheyAre) {
  test::LoopbackServer server;
  ASSERT_TRUE(server.ok());
  auto port = port_to("tcp", server.port());
  Connecting connecting(*port);
  ASSERT_TRUE(server.accept());
  ASSERT_TRUE(connecting.finish().ok());
  ASSERT_TRUE(server.send(Bytes{kIac, kDo, kComPort, '\r', 0}));
  EXPECT_EQ(read_port(*port, 5), (Bytes{kIac, kDo, kComPort, '\r', 0}));
  PortSettings s;
  s.baud = 300;
  ASSERT_TRUE(port->configure(s).ok());
  ASSERT_TRUE(port->write_all(Bytes{0xFF, '\r'}).ok());
  Bytes from_client;
  ASSERT_TRUE(server.read_at_least(from_client, 2));
  server.read(from_client, 200);
  // Nothing but the written bytes: no negotiation, no settings.
  EXPECT_EQ(from_client, (Bytes{0xFF, '\r'}));
  EXPECT_FALSE(port->link_report().no_settings);
}

TEST(NetPort, NobodyListeningIsMissingAndAServerThatHangsUpIsBusy) {
  uint16_t closed_port = 0;
  {
    test::LoopbackServer gone;
    ASSERT_TRUE(gone.ok());
    closed_port = gone.port();
  }
  auto port = port_to("rfc2217", closed_port);
  Result<void, OpenError> r = port->connect([] { return false; });
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().failure, OpenFailure::Missing);

  // ser2net's way with a second client: accept, say so, hang up.
  test::LoopbackServer server;
  ASSERT_TRUE(server.ok());
  auto busy = port_to("tcp", server.port());
  Connecting connecting(*busy);
  ASSERT_TRUE(server.accept());
  server.send(std::string("Port already in use\r\n"));
  server.drop_client();
  r = connecting.finish();
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().failure, OpenFailure::Busy);
}

TEST(NetPort, AConnectGivesUpWhenCancelled) {
  test::LoopbackServer server;
  ASSERT_TRUE(server.ok());
  // Accepted but silent: the client waits for the option's answer until
  // it is told to stop.
  auto port = port_to("rfc2217", server.port());
  Connecting connecting(*port);
  ASSERT_TRUE(server.accept());
  connecting.cancel();
  EXPECT_FALSE(connecting.finish().ok());
}

}  // namespace
}  // namespace lw
