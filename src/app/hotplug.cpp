// Devices plugged in and pulled out: the rescan after a burst of
// device-change events, and reopening a device that comes back.
#include "app/app.h"
#include "app/session_ops.h"
#include "lang/tr.h"
#include "ports/port_list.h"
#include "settings/values.h"

namespace lw {

namespace {

void forget_arrival(std::vector<RecentArrival>& recent, const std::string& name) {
  std::erase_if(recent, [&](const RecentArrival& r) { return r.name == name; });
}

// The same device coming back: a lost (or waiting) tab with the port's
// device key, or on the port's name; the first such tab in tab order. A port
// the user named is that name: a by-id link keeps its tab when the kernel's
// name for the same device (the same key) arrives before it, and never takes
// another tab.
Session* lost_session_for(AppState& state, const PortInfo& port, const std::string& key) {
  for (auto& s : state.sessions) {
    if (s->state.kind != ConnectionKind::Disconnected && !s->is_waiting()) continue;
    if (s->info.added || port.added) {
      if (s->port_name == port.name) return s.get();
      continue;
    }
    if (s->device_key == key || s->port_name == port.name) return s.get();
  }
  return nullptr;
}

}  // namespace

void App::rescan() {
  std::vector<PortInfo> fresh = scan_ports();
  const std::vector<PortInfo> gone = ports_not_in(state_.ports, fresh);
  const std::vector<PortInfo> arrived = ports_not_in(fresh, state_.ports);
  state_.ports = std::move(fresh);

  for (const PortInfo& p : gone) {
    forget_arrival(state_.recent_arrivals, p.name);
    std::vector<uint64_t> open_ids;
    for (auto& s : state_.sessions) {
      if (s->port_name == p.name && s->is_open()) open_ids.push_back(s->id);
      // A board that starts again after flashing: it opens once it is back.
      if (s->port_name == p.name && s->watch) s->watch->taken = s->watch->gone = true;
    }
    for (uint64_t id : open_ids) {
      if (Session* s = state_.find_session(id)) on_disconnect(*s);
    }
  }

  for (const PortInfo& p : arrived) {
    forget_arrival(state_.recent_arrivals, p.name);
    state_.recent_arrivals.push_back({p.name, host_.clock().monotonic_ms()});
    const std::string key = device_key(p);
    if (Session* s = lost_session_for(state_, p, key)) {
      // It may come back under another name: the tab follows it there.
      s->port_name = p.name;
      s->description = p.description;
      s->device_key = key;
      s->info = p;
      if (s->watch) {
        // The user let it go, or it was busy: it comes back without asking.
        s->watch->taken = true;
        OpenContext ctx = open_context();
        open_session(*s, s->watch->reconnect, ctx);
        continue;
      }
      const std::string again =
          fill(tr("{0} 다시 연결됨", "{0} is connected again"), {display_name(p)});
      if (!auto_reconnect(settings_)) {
        NoticeAction reconnect{NoticeAction::Kind::Reconnect, {}, s->id};
        show_notice(Notice{again, false, {reconnect}});
      } else {
        OpenContext ctx = open_context();
        if (open_session(*s, true, ctx)) {
          show_notice(Notice{again, false, {}});
        } else {
          show_notice(Notice{
              fill(tr("{0}이(가) 돌아왔지만 열 수 없습니다", "{0} is back but couldn't be opened"),
                   {display_name(p)}),
              true,
              {}});
        }
      }
      continue;
    }
    show_notice(Notice{fill(tr("{0} · {1} 연결됨", "{0} · {1} is connected"),
                            {p.name, p.description.empty() ? p.name : p.description}),
                       false,
                       {}});
    // A tab on another name for the same device (a by-id path) counts too.
    if (auto_open(settings_) && tab_for(p) == nullptr) {
      Session& s = add_session(p);
      OpenContext ctx = open_context();
      open_session(s, false, ctx);
    }
  }
  keep_watch_timer();
  host_.request_repaint();
}

void App::reconnect(uint64_t session_id) {
  Session* s = state_.find_session(session_id);
  if (!s || s->is_open() || s->connecting) return;
  OpenContext ctx = open_context();
  const bool opened = open_session(*s, true, ctx);
  keep_watch_timer();
  // A network port tells when its link is up (net_ports.cpp).
  if (s->connecting) {
    host_.request_repaint();
    return;
  }
  if (opened) {
    show_notice(Notice{
        fill(tr("{0} 다시 연결됨", "{0} is connected again"), {display_name(s->info)}), false, {}});
  } else {
    show_notice(
        Notice{fill(tr("{0}이(가) 돌아왔지만 열 수 없습니다", "{0} is back but couldn't be opened"),
                    {display_name(s->info)}),
               true,
               {}});
  }
  host_.request_repaint();
}

}  // namespace lw
