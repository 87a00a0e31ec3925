// The port list from sysfs.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <map>

#include "base/utf8.h"
#include "ports/list_ports.h"
#include "ports/port_list.h"
#include "ports/sysfs_ports.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

// A sysfs attribute without its trailing new line; absent when unreadable,
// empty or not UTF-8.
std::optional<std::string> attribute(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text(4096, '\0');  // sysfs hands out at most a page
  const ssize_t n = ::read(fd, text.data(), text.size());
  ::close(fd);
  if (n <= 0) return std::nullopt;
  text.resize(static_cast<size_t>(n));
  const auto blank = [](char c) { return c == '\n' || c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  if (text.empty() || !is_valid_utf8(text)) return std::nullopt;
  return text;
}

std::optional<uint64_t> number_attribute(const fs::path& file) {
  const std::optional<std::string> text = attribute(file);
  if (!text) return std::nullopt;
  std::string_view digits = *text;
  int base = 10;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
    base = 16;
  }
  uint64_t v = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return v;
}

std::optional<uint16_t> hex4_attribute(const fs::path& file) {
  const std::optional<std::string> text = attribute(file);
  if (!text || text->size() != 4) return std::nullopt;
  unsigned v = 0;
  for (char c : *text) {
    unsigned d = 0;
    if (c >= '0' && c <= '9') {
      d = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      d = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      d = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    v = v * 16 + d;
  }
  return static_cast<uint16_t>(v);
}

std::string driver_of(const fs::path& device) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(device / "driver", ec);
  return ec ? std::string() : target.filename().string();
}

// 8250 ports are registered whether or not a UART answers at that address;
// the ones without hardware report type 0 (unknown), or sit on the
// serial8250 platform device with neither an I/O port nor memory.
bool is_placeholder(const fs::path& tty, const std::string& driver) {
  if (number_attribute(tty / "type") == uint64_t{0}) return true;
  if (driver == "serial8250") {
    const uint64_t port = number_attribute(tty / "port").value_or(0);
    const uint64_t iomem = number_attribute(tty / "iomem_base").value_or(0);
    if (port == 0 && iomem == 0) return true;
  }
  return false;
}

// The nearest ancestor that is a USB device (it has idVendor and idProduct);
// interfaces and usb-serial ports below it don't.
std::optional<fs::path> usb_device_above(fs::path dir, const fs::path& root) {
  std::error_code ec;
  while (dir != root && dir != dir.parent_path()) {
    if (fs::exists(dir / "idVendor", ec) && fs::exists(dir / "idProduct", ec)) return dir;
    dir = dir.parent_path();
  }
  return std::nullopt;
}

struct Candidate {
  std::string name;
  std::string driver;
  std::optional<fs::path> usb;
};

}  // namespace

std::vector<PortInfo> list_sysfs_ports(const fs::path& sysfs_root) {
  std::error_code ec;
  const fs::path root = fs::weakly_canonical(sysfs_root, ec);
  std::vector<Candidate> found;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(sysfs_root / "class" / "tty", ec)) {
    Candidate c;
    c.name = entry.path().filename().string();
    std::error_code link_ec;
    const fs::path device = fs::canonical(entry.path() / "device", link_ec);
    if (link_ec) {
      // Bluetooth serial links are virtual ttys, yet real ports.
      if (c.name.starts_with("rfcomm")) found.push_back(std::move(c));
      continue;
    }
    c.driver = driver_of(device);
    if (is_placeholder(entry.path(), c.driver)) continue;
    c.usb = usb_device_above(device, root);
    found.push_back(std::move(c));
  }

  std::map<fs::path, int> ttys_per_usb_device;
  for (const Candidate& c : found) {
    if (c.usb) ++ttys_per_usb_device[*c.usb];
  }

  std::vector<PortInfo> ports;
  for (const Candidate& c : found) {
    PortInfo p;
    p.name = c.name;
    p.description = c.driver;
    if (c.usb) {
      if (std::optional<std::string> product = attribute(*c.usb / "product")) {
        p.description = *product;
      }
      const std::optional<uint16_t> vid = hex4_attribute(*c.usb / "idVendor");
      const std::optional<uint16_t> pid = hex4_attribute(*c.usb / "idProduct");
      if (vid && pid) p.usb_id = UsbId{*vid, *pid};
      if (ttys_per_usb_device[*c.usb] == 1) p.serial = attribute(*c.usb / "serial");
    }
    ports.push_back(std::move(p));
  }
  order_ports(ports);
  return ports;
}

std::vector<PortInfo> list_system_ports() { return list_sysfs_ports("/sys"); }

}  // namespace lw
