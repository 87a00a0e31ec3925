// What the user types into "Open a device by path…" (or passes with
// --port), and the stored list of such addresses. An address that parses
// is non-empty, has no white space around it, no control character, is
// valid UTF-8 and parses again to itself; only a network address has a
// "://", and its host and port are there. The stored list holds
// at most eight addresses, each once and each one that parses to itself.
//
// Input: the typed text, which is also read as the stored list.
#include <cstdint>
#include <set>
#include <string>

#include "app/added_ports.h"
#include "base/utf8.h"
#include "fuzz_support.h"
#include "ports/port_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = lw::fuzz::as_text(data, size);

  if (const auto a = lw::parse_port_address(text)) {
    const std::string& t = a->text;
    LW_FUZZ_CHECK(!t.empty());
    LW_FUZZ_CHECK(lw::is_valid_utf8(t));
    LW_FUZZ_CHECK((t.find("://") != std::string::npos) == lw::is_network(a->kind));
    if (lw::is_network(a->kind)) LW_FUZZ_CHECK(!a->host.empty() && a->port != 0);
    for (char c : t) LW_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    const auto again = lw::parse_port_address(t);
    LW_FUZZ_CHECK(again.ok() && *again == *a);
  }

  const std::vector<std::string> kept = lw::parse_added_ports(text);
  LW_FUZZ_CHECK(kept.size() <= lw::kAddedPortsKept);
  std::set<std::string> seen;
  for (const std::string& k : kept) {
    LW_FUZZ_CHECK(seen.insert(k).second);
    const auto a = lw::parse_port_address(k);
    LW_FUZZ_CHECK(a.ok() && a->text == k);
  }
  return 0;
}
