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
// from the product string, else from the hardware database by vendor and
// product, else the driver's name; the device's serial number only when that
// device carries a single tty. A device with several ttys (dual FTDI chips,
// composite boards with two CDC ACM ports) has one serial for all of them,
// which can't tell its ports apart; like an "&MI_" interface on Windows they
// get no serial, so their key is VID:PID@name. A port on no USB device is a
// built-in UART (or a card's), described as such rather than by its driver.
// Every entry's node is /dev/<name>.
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ports/port_address.h"
#include "ports/port_info.h"

namespace lw {

// A readable name for a USB device by vendor and product; none when unknown.
using UsbNameLookup = std::function<std::optional<std::string>(UsbId)>;

// udev's hardware database (hwdb.bin) through libudev: the model, else the
// vendor. Opened on first use; a system without the database knows no names.
UsbNameLookup usb_database();

std::vector<PortInfo> list_sysfs_ports(const std::filesystem::path& sysfs_root,
                                       const UsbNameLookup& usb_names = {});

// The device paths among addresses that lead to a character device now, in
// the given order: named as typed, the device file they lead to as node,
// and, when that file is a tty of the list above, its description, serial
// and USB ids. A name without "/" is a file in /dev.
std::vector<PortInfo> find_path_ports(std::span<const PortAddress> addresses,
                                      const std::filesystem::path& sysfs_root,
                                      const UsbNameLookup& usb_names = {});

}  // namespace lw
