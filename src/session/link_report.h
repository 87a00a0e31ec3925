#pragma once
// What a port whose link is made on its reader thread (a serial port on a
// device server, reached over the network) says about that link, for the
// tab's state text.
#include <string>
#include <vector>

namespace lw {

struct LinkReport {
  bool up = false;           // connected, and the opening negotiation is over
  bool no_settings = false;  // the server takes no serial settings
  // The settings the server did not take, as texts every language writes
  // the same ("921600", "7E1", "DTR").
  std::vector<std::string> refused;
  bool operator==(const LinkReport&) const = default;
};

}  // namespace lw
