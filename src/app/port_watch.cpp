#include "app/port_watch.h"

namespace lw {

namespace {

// Looks that find the port held or gone come every tick.
void look_soon(PortWatch& w, int64_t now_ms) { w.next_look_ms = now_ms; }

}  // namespace

PortWatch watch_after_let_go(int64_t now_ms) {
  PortWatch w;
  w.let_go = true;
  w.reconnect = true;
  w.since_ms = now_ms;
  w.next_look_ms = now_ms;  // at the timer's first tick
  return w;
}

PortWatch watch_while_busy(const std::optional<PortHolder>& holder, bool reconnect,
                           int64_t now_ms) {
  PortWatch w;
  w.reconnect = reconnect;
  w.since_ms = now_ms;
  w.taken = true;
  w.holder = holder;
  w.next_look_ms = now_ms;
  return w;
}

bool look_due(const PortWatch& w, int64_t now_ms) {
  // Timer ticks come a little early or late; half a period of slack keeps an
  // early tick from putting the next look off by a whole period.
  if (now_ms + kPortWatchPeriodMs / 2 >= w.next_look_ms) return true;
  return !w.taken && now_ms - w.since_ms >= kUntakenReopenMs;
}

WatchStep after_look(PortWatch& w, const PortLook& look, int64_t now_ms) {
  switch (look.use) {
    case PortLook::Use::Held:
      w.taken = true;
      w.gone = false;
      w.holder = look.holder;
      look_soon(w, now_ms);
      return WatchStep::Wait;
    case PortLook::Use::Missing:
      // A board that starts again after flashing may come back under
      // another name; the rescan moves the tab there.
      w.taken = true;
      w.gone = true;
      w.holder.reset();
      look_soon(w, now_ms);
      return WatchStep::Wait;
    case PortLook::Use::Free:
      break;
  }
  w.gone = false;
  w.holder.reset();
  if (w.taken || now_ms - w.since_ms >= kUntakenReopenMs) return WatchStep::Open;
  w.next_look_ms = now_ms + (look.by_opening ? kUntakenOpeningLookMs : kUntakenLookMs);
  return WatchStep::Wait;
}

bool after_failed_open(PortWatch& w, const OpenError& error, int64_t now_ms) {
  switch (error.failure) {
    case OpenFailure::Busy:
      w.taken = true;
      w.gone = false;
      w.holder = error.holder;
      look_soon(w, now_ms);
      return true;
    case OpenFailure::Missing:
      w.taken = true;
      w.gone = true;
      w.holder.reset();
      look_soon(w, now_ms);
      return true;
    case OpenFailure::Other:
    case OpenFailure::Denied:
    case OpenFailure::NotSerial:
      break;
  }
  return false;
}

}  // namespace lw
