// The port list from sysfs, and the device paths the user named.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <map>

#include "base/utf8.h"
#include "lang/tr.h"
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
  bool has_device = false;  // not a virtual tty
  std::optional<fs::path> usb;
};

}  // namespace

std::vector<PortInfo> list_sysfs_ports(const fs::path& sysfs_root, const UsbNameLookup& usb_names) {
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
    c.has_device = true;
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
    p.node = "/dev/" + c.name;
    if (c.has_device && !c.usb) {
      p.description = tr("내장 시리얼 포트", "Built-in serial port");
    }
    if (c.usb) {
      const std::optional<uint16_t> vid = hex4_attribute(*c.usb / "idVendor");
      const std::optional<uint16_t> pid = hex4_attribute(*c.usb / "idProduct");
      if (vid && pid) p.usb_id = UsbId{*vid, *pid};
      if (std::optional<std::string> product = attribute(*c.usb / "product")) {
        p.description = *product;
      } else if (std::optional<std::string> known;
                 p.usb_id && usb_names && (known = usb_names(*p.usb_id))) {
        p.description = *known;
      } else {
        p.description = c.driver;
      }
      if (ttys_per_usb_device[*c.usb] == 1) p.serial = attribute(*c.usb / "serial");
    }
    ports.push_back(std::move(p));
  }
  order_ports(ports);
  return ports;
}

std::vector<PortInfo> find_path_ports(std::span<const PortAddress> addresses,
                                      const fs::path& sysfs_root, const UsbNameLookup& usb_names) {
  std::vector<PortInfo> found;
  bool kernel_tty = false;
  for (const PortAddress& a : addresses) {
    if (a.kind != AddressKind::Device || a.text.empty()) continue;
    const std::string path = a.text.front() == '/' ? a.text : "/dev/" + a.text;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) continue;
    std::error_code ec;
    const fs::path node = fs::canonical(path, ec);
    if (ec) continue;
    PortInfo p;
    p.name = a.text;
    p.node = node.string();
    p.added = true;
    // Pseudo-terminals (/dev/pts/7) have no entry in the tty class.
    kernel_tty = kernel_tty || (node.parent_path() == "/dev");
    found.push_back(std::move(p));
  }
  if (!kernel_tty) return found;
  const std::vector<PortInfo> listed = list_sysfs_ports(sysfs_root, usb_names);
  for (PortInfo& p : found) {
    for (const PortInfo& l : listed) {
      if (l.node != p.node) continue;
      p.description = l.description;
      p.serial = l.serial;
      p.usb_id = l.usb_id;
      break;
    }
  }
  return found;
}

std::vector<PortInfo> list_system_ports() { return list_sysfs_ports("/sys", usb_database()); }

std::vector<PortInfo> find_system_ports(std::span<const PortAddress> addresses) {
  return find_path_ports(addresses, "/sys", usb_database());
}

}  // namespace lw
