#pragma once
// Linux: the serial ports under <sysfs_root>/class/tty. Tests pass a fixture
// tree; the program passes /sys.
//
// Kept: ttys with a device behind them (ttyUSB*, ttyACM*, platform and PCI
// UARTs, ...) and Bluetooth rfcomm* links. Dropped: virtual terminals and
// pseudo-terminals (no device), and the 8250 placeholders that exist without
// hardware (serial core "type" 0, or the serial8250 driver with neither an I/O
// port nor memory).
//
// For a tty below a USB device: usb_id from idVendor/idProduct, description
// from the product string (else the driver's name, as for other ports), and
// the device's serial number only when that device carries a single tty. A
// device with several ttys (dual FTDI chips, composite boards with two CDC
// ACM ports) has one serial for all of them, which can't tell its ports
// apart; like an "&MI_" interface on Windows they get no serial, so their key
// is VID:PID@name.
#include <filesystem>
#include <vector>

#include "ports/port_info.h"

namespace lw {

std::vector<PortInfo> list_sysfs_ports(const std::filesystem::path& sysfs_root);

}  // namespace lw
