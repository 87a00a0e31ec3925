#pragma once
// The identity of the device behind a port, the name shown for it, the order
// of the port list and the comparison of two scans.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/port_info.h"

namespace lw {

// Port names are one port regardless of ASCII letter case (COM3, com3).
bool same_port_name(std::string_view a, std::string_view b);

// VID:PID:serial (2341:0043:5573932393735151F0C1), VID:PID@name
// (1A86:7523@COM5), or the name alone; hex digits in upper case.
std::string device_key(const PortInfo& port);

// "Description (COM3)", or the name alone when the description is empty or
// is the name.
std::string display_name(const PortInfo& port);

// The entries of a (copies, in a's order) for which b holds no entry with the
// same name, an equal device key and the same device file: the ports that
// arrived or went away. A link that now leads to another device (a by-id
// link after a re-plug) has gone and arrived.
std::vector<PortInfo> ports_not_in(const std::vector<PortInfo>& a, const std::vector<PortInfo>& b);

// VID:PID of a device key with a USB id (2341:0043), so another board of the
// same model starts with the same settings; absent for a bare port name.
std::optional<std::string> model_key(std::string_view device_key);

// The number a name sorts by: everything from its first digit to the end as
// an unsigned 32-bit number; 4294967295 when there is no digit, anything but
// digits follows it, or it is too large.
uint32_t port_order_number(std::string_view name);

// Sorts stably by (number, name bytes) so COM2 comes before COM10, then keeps
// only the first of each run of neighbours with the same name.
void order_ports(std::vector<PortInfo>& ports);

}  // namespace lw
