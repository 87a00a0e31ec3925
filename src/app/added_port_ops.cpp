// Ports the user names by their address: opening one, keeping it in the
// list, and noticing when it comes, goes or leads to another device.
#include <algorithm>

#include "app/added_ports.h"
#include "app/app.h"
#include "app/session_ops.h"
#include "base/trim.h"
#include "lang/tr.h"
#include "ports/port_list.h"

namespace lw {

namespace {

// Failures that say the address names no serial device this account may
// use: such an address is shown in its tab, but never listed or kept.
bool names_no_device(const Session& s) {
  if (s.state.kind != ConnectionKind::Failed) return false;
  switch (s.state.failure) {
    case OpenFailure::Missing:
    case OpenFailure::NotSerial:
    case OpenFailure::Denied:
      return true;
    case OpenFailure::Busy:
    case OpenFailure::Other:
      break;
  }
  return false;
}

bool listed(const std::vector<PortInfo>& ports, std::string_view name) {
  return std::any_of(ports.begin(), ports.end(),
                     [&](const PortInfo& p) { return same_port_name(p.name, name); });
}

}  // namespace

std::vector<PortAddress> App::added_addresses() {
  std::vector<PortAddress> out;
  const auto add = [&](const std::string& text) {
    Result<PortAddress, AddressError> a = parse_port_address(text);
    if (!a) return;
    const bool known = std::any_of(out.begin(), out.end(),
                                   [&](const PortAddress& b) { return b.text == a->text; });
    if (!known) out.push_back(std::move(*a));
  };
  for (const std::string& text : load_added_ports(settings_)) add(text);
  for (const auto& s : state_.sessions) {
    if (s->info.added) add(s->port_name);
  }
  return out;
}

std::vector<PortInfo> App::scan_ports() {
  std::vector<PortInfo> ports = ports_.list_ports();
  const std::vector<PortAddress> addresses = added_addresses();
  if (addresses.empty()) return ports;
  for (PortInfo& p : ports_.find_ports(addresses)) {
    if (!listed(ports, p.name)) ports.push_back(std::move(p));
  }
  return ports;
}

Session* App::tab_for(const PortInfo& port) {
  for (auto& s : state_.sessions) {
    if (s->port_name == port.name) return s.get();
  }
  if (port.node.empty()) return nullptr;
  for (const PortInfo& other : state_.ports) {
    if (other.node != port.node || other.name == port.name) continue;
    for (auto& s : state_.sessions) {
      if (s->port_name == other.name) return s.get();
    }
  }
  return nullptr;
}

void App::keep_added(Session& s) {
  remember_added_port(settings_, s.port_name);
  if (listed(state_.ports, s.port_name)) return;
  // Listed as the system finds it now (the tab may have been opened when
  // the path led nowhere), so the 2-second comparison sees no change.
  const Result<PortAddress, AddressError> address = parse_port_address(s.port_name);
  std::vector<PortInfo> found;
  if (address) found = ports_.find_ports(std::span(&*address, 1));
  if (!found.empty()) s.info = found.front();
  s.info.added = true;
  state_.ports.push_back(s.info);
}

void App::open_address(std::string_view typed) {
  const Result<PortAddress, AddressError> address = parse_port_address(typed);
  if (!address) {
    if (address.error() == AddressError::Unknown) {
      show_notice(Notice{fill(tr("시리얼 장치가 아닙니다: {0}", "That isn't a serial device: {0}"),
                              {trim_white_space(typed)}),
                         true,
                         {}});
    }
    return;
  }
  for (const PortInfo& p : state_.ports) {
    if (same_port_name(p.name, address->text)) {
      open_tab(PortInfo(p));
      return;
    }
  }
  const std::vector<PortInfo> found = ports_.find_ports(std::span(&*address, 1));
  PortInfo port = found.empty() ? PortInfo(address->text, "") : found.front();
  port.added = true;
  // The device file of a listed port, typed out (/dev/ttyUSB0): that port.
  // A link to it (a by-id path) is a port of its own.
  if (port.node == port.name) {
    for (const PortInfo& p : state_.ports) {
      if (!p.added && p.node == port.node) {
        open_tab(PortInfo(p));
        return;
      }
    }
  }
  if (tab_for(port) != nullptr) {
    open_tab(port);
    return;
  }
  Session& s = add_session(port);
  OpenContext ctx = open_context();
  open_session(s, false, ctx);
  if (!names_no_device(s)) keep_added(s);
  host_.request_repaint();
}

void App::watch_added_ports() {
  const std::vector<PortAddress> addresses = added_addresses();
  if (addresses.empty()) return;
  std::vector<PortInfo> now = ports_.find_ports(addresses);
  // A name the system lists itself is shown as the system's entry.
  std::erase_if(now, [&](const PortInfo& p) {
    return std::any_of(state_.ports.begin(), state_.ports.end(), [&](const PortInfo& q) {
      return !q.added && same_port_name(q.name, p.name);
    });
  });
  std::vector<PortInfo> shown;
  for (const PortInfo& p : state_.ports) {
    if (p.added) shown.push_back(p);
  }
  if (!ports_not_in(now, shown).empty() || !ports_not_in(shown, now).empty()) {
    host_.start_timer(kTimerRescan, kRescanDelayMs);
  }
}

}  // namespace lw
