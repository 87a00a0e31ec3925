#pragma once
// A tab waiting for its port: after the user let another program use it, or
// after an open found it busy. The window thread looks at the port on a
// timer (kTimerPortWatch) and opens it again as soon as it is free after
// another program had it, after the device went away and came back, or,
// when nobody took it, after a minute. These rules need no platform; what a
// look shows comes from the PortSystem.
#include <cstdint>
#include <optional>

#include "session/port.h"
#include "session/records.h"

namespace lw {

// How often a waiting port is looked at while another program holds it (or
// the device is gone): a port that comes free is open again within one period.
inline constexpr int kPortWatchPeriodMs = 100;
// Before anybody took it, looks can come slower: they only need to see the
// other program once, and a look that has to open the port disturbs it.
inline constexpr int kUntakenLookMs = 300;
inline constexpr int kUntakenOpeningLookMs = 500;
// A port let go that no other program takes is opened again after this.
inline constexpr int64_t kUntakenReopenMs = 60'000;

struct PortWatch {
  bool let_go = false;     // the user let go; else an open found the port busy
  bool reconnect = false;  // the open that ends the wait marks the log "Reconnected"
  int64_t since_ms = 0;    // monotonic: the wait began
  int64_t next_look_ms = 0;
  // Another program has held the port since the wait began, or the device
  // went away: once it is free, it opens.
  bool taken = false;
  bool gone = false;                 // the device wasn't there at the last look
  std::optional<PortHolder> holder;  // who held it at the last look, where seen
};

// The user let go of an open port.
PortWatch watch_after_let_go(int64_t now_ms);
// An open found the port busy; reconnect as that open had it.
PortWatch watch_while_busy(const std::optional<PortHolder>& holder, bool reconnect, int64_t now_ms);

bool look_due(const PortWatch& w, int64_t now_ms);

enum class WatchStep : uint8_t { Wait, Open };
// Takes in what a look showed; Open when the port should be opened now.
WatchStep after_look(PortWatch& w, const PortLook& look, int64_t now_ms);
// An open that ended a wait found the port busy or missing again: the wait
// goes on. False for any other failure, which ends the wait.
bool after_failed_open(PortWatch& w, const OpenError& error, int64_t now_ms);

}  // namespace lw
