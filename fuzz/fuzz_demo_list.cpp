// The device list after "--demo". Every device has a trimmed name without
// ";" or "=" (starting with "!" only when unplugged, which a "!" marks), a
// trimmed description without ";" or "=", a serial that is absent or
// non-empty and trimmed; and the devices written back out as a list read
// back to the same devices and the same plugged-in states.
//
// Input: the list text.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "sim/demo_list.h"

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool trimmed(std::string_view s) {
  return s.empty() || (!is_space(s.front()) && !is_space(s.back()));
}

std::string item_text(const lw::SimulatedPort& port) {
  const lw::PortInfo& info = port.info;
  std::string out = port.present->load() ? "" : "!";
  out += info.name;
  out += '=';
  out += info.description;
  out += '=';
  if (info.usb_id) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%X:%x", info.usb_id->vid, info.usb_id->pid);
    out += ids;
  } else {
    out += ':';
  }
  out += ':';
  if (info.serial) out += *info.serial;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = lw::fuzz::as_text(data, size);
  const std::vector<lw::SimulatedPort> ports = lw::parse_demo_list(text);
  const size_t items = 1 + static_cast<size_t>(std::count(text.begin(), text.end(), ';'));
  LW_FUZZ_CHECK(ports.size() <= items);

  std::string list;
  for (const lw::SimulatedPort& port : ports) {
    const lw::PortInfo& info = port.info;
    LW_FUZZ_CHECK(port.present != nullptr);
    LW_FUZZ_CHECK(!info.name.empty() && trimmed(info.name));
    // A leading "!" is read as "unplugged", so a plugged-in name can't have one.
    LW_FUZZ_CHECK(!port.present->load() || info.name.front() != '!');
    LW_FUZZ_CHECK(info.name.find_first_of(";=") == std::string::npos);
    LW_FUZZ_CHECK(trimmed(info.description));
    LW_FUZZ_CHECK(info.description.find_first_of(";=") == std::string::npos);
    if (info.serial) {
      LW_FUZZ_CHECK(!info.serial->empty() && trimmed(*info.serial));
      LW_FUZZ_CHECK(info.serial->find(';') == std::string::npos);
    }
    if (!list.empty()) list += ';';
    list += item_text(port);
  }

  const std::vector<lw::SimulatedPort> again = lw::parse_demo_list(list);
  LW_FUZZ_CHECK(again.size() == ports.size());
  for (size_t i = 0; i < ports.size(); ++i) {
    LW_FUZZ_CHECK(again[i].info == ports[i].info);
    LW_FUZZ_CHECK(again[i].present->load() == ports[i].present->load());
    // Each device has a present flag of its own.
    LW_FUZZ_CHECK(i == 0 || again[i].present != again[i - 1].present);
  }
  return 0;
}
