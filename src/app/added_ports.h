#pragma once
// The ports the user named by their address (a path typed into the window,
// or given with --port). The last eight that opened are kept in the store
// as "AddedPorts", one per line, oldest first, so the next start lists them
// again while they are there.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace lw {

inline constexpr std::string_view kAddedPortsSetting = "AddedPorts";
inline constexpr size_t kAddedPortsKept = 8;

// The stored addresses, oldest first: lines at LF, trimmed; blank lines,
// texts that are no address and repeats (the later one counts) left out;
// at most the last eight.
std::vector<std::string> parse_added_ports(std::string_view stored);
std::vector<std::string> load_added_ports(Settings& settings);
// Makes the address the newest and stores the last eight.
void remember_added_port(Settings& settings, std::string_view address);

}  // namespace lw
