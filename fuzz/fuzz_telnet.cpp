// What a device server sends to a network port: Telnet negotiation,
// sub-negotiations (the COM-PORT-OPTION's answers and notifications) and
// data, cut into chunks anywhere. Whatever it is, the data handed on is
// never longer than what came, each request is answered at most once (no
// negotiation loop: the answers are at most a third of the input plus one
// command), and the settings' refusals stay a short list.
//
// Input: the first byte chooses the chunk size, the rest is what the
// server sent.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "serial/rfc2217.h"
#include "serial/telnet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = static_cast<size_t>(data[0] % 64) + 1;
  lw::ComPortSettings com;
  std::vector<uint8_t> out;
  com.request(lw::PortSettings{}, out);
  lw::TelnetCodec telnet(true, [&](uint8_t option, std::span<const uint8_t> sub) {
    LW_FUZZ_CHECK(sub.size() <= lw::telnet::kMaxSubnegotiation);
    if (option == lw::telnet::kComPort) com.answer(sub);
  });
  out.clear();
  telnet.open(out);
  std::vector<uint8_t> replies;
  std::vector<uint8_t> bytes;
  size_t fed = 0;
  for (size_t at = 1; at < size; at += chunk) {
    const size_t n = std::min(chunk, size - at);
    bytes.assign(data + at, data + at + n);
    const size_t kept = telnet.receive(bytes, replies);
    LW_FUZZ_CHECK(kept <= n);
    fed += n;
  }
  LW_FUZZ_CHECK(replies.size() <= fed + 3);
  LW_FUZZ_CHECK(com.refused().size() <= 4);
  std::vector<uint8_t> sent;
  telnet.encode(std::span(data, size), sent);
  LW_FUZZ_CHECK(sent.size() <= 2 * size);
  return 0;
}
