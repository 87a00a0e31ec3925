#pragma once
// One tab: a port, its connection, its reader channel and its log. Owned by
// the application state on the window thread; only the channel is shared
// with the tab's reader thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_sending.h"
#include "app/port_watch.h"
#include "app/replay.h"
#include "files/recording.h"
#include "lab/measure.h"
#include "log/log.h"
#include "ports/port_info.h"
#include "send/repeat.h"
#include "send/send_text.h"
#include "session/channel.h"
#include "session/records.h"

namespace lw {

struct Session;

// A session's log: all of Log except append, which only the session itself
// calls (Session::append), so no line reaches the log without also reaching
// the recording.
class SessionLog : public Log {
 public:
  using Log::Log;

 private:
  using Log::append;
  friend struct Session;
};

struct Session {
  uint64_t id = 0;  // unique within the run; names the session in wake-ups
  std::string port_name;
  std::string description;
  std::string device_key;  // of the device it was opened on
  PortInfo info;
  PortSettings settings;
  ConnectionState state;
  std::shared_ptr<ReaderChannel> channel;  // present while a reader may run
  Millis started_at = 0;                   // the tab was opened
  Millis opened_at = 0;                    // latest successful open
  uint64_t bytes_received = 0;
  uint64_t bytes_sent = 0;
  uint64_t earlier_bytes_received = 0;
  uint32_t reconnects = 0;
  uint32_t disconnects = 0;
  std::optional<FrameSpec> framing;
  // A port on another machine (rfc2217://, tcp://): how its link is. Absent
  // for other ports.
  std::optional<LinkReport> link;
  // Its reader is making the link, and the open completes when the link is
  // up; holds whether that open is a reconnect.
  std::optional<bool> connecting;
  // A lost network tab tries to connect again at this monotonic time (0:
  // not due).
  int64_t retry_at_ms = 0;
  SessionLog log;
  TabLab lab;                          // numbers, alerts, values CSV
  std::optional<Recording> recording;  // "Record" is on while present
  SendState send;                      // hex mode, ending, history
  std::string send_box;                // the send field's text
  Repeater repeater;                   // a repeat or sequence running
  std::optional<ReplayTab> replay;     // a log file replayed instead of a port
  std::optional<FileSending> sending;  // a file on its way to the port
  std::optional<PortWatch> watch;      // present exactly while the state is Waiting
  // The reader told to close when the port was let go, until it has: where
  // a look must open the port, this program would see itself holding it.
  std::weak_ptr<ReaderChannel> letting_go;

  // The one way into the log: received lines, sent lines, marks and the last
  // bytes handed over at Close all come through here, and while "Record" is
  // on each goes to the recording too, in the same order.
  Appended append(LineRecord record, std::string_view search_text);

  bool is_open() const { return state.kind == ConnectionKind::Open; }
  bool is_waiting() const { return state.kind == ConnectionKind::Waiting; }
  bool hex_view() const { return log.hex_view(); }
};

uint64_t next_session_id();

}  // namespace lw
