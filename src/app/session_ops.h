#pragma once
// What the window thread does with a session: open, close, send, framing,
// marks, and the drain of its reader channel.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/session.h"
#include "base/time.h"
#include "session/port.h"
#include "session/reader.h"

namespace lw {

// What opening a port needs from the application.
struct OpenContext {
  PortSystem& ports;
  Clock& clock;
  Waker waker;
  std::string_view search_text;  // for the mark a reopen appends
};

// Opens (or reopens) the session's port and starts its reader thread. On
// failure the session turns Failed with the reason and nothing is logged,
// except that a port another program holds makes it wait (Waiting, with a
// watch), and a session that waited goes on waiting while the port is busy
// or missing. Returns whether the port opened. A port that connects on its
// reader thread (a network port) is only started: the session stays as it
// was, marked connecting, and its drain completes the open when the link is
// up (DrainOutcome::connected) or fails it (DrainOutcome::unreached).
bool open_session(Session& s, bool is_reconnect, OpenContext& ctx);

// The open is done: state Open, opened_at now, counters moved on, and for a
// reconnect the count and the mark.
void complete_open(Session& s, bool is_reconnect, Millis now, std::string_view search_text);

inline constexpr int kCloseSettleMs = 60;
// How long an open waits for the tab's previous reader to stop.
inline constexpr int kReopenWaitMs = 2000;

// The user's Close: queue Close, give the reader up to settle_ms to hand
// over its last bytes (it usually needs less than one read timeout), append
// them to the log, then mark the log when the port was open. Returns the
// channel while its reader is still running, for the owner to keep until it
// stops.
[[nodiscard]] std::shared_ptr<ReaderChannel> close_session(Session& s, Clock& clock,
                                                           std::string_view search_text,
                                                           int settle_ms = kCloseSettleMs);

// "Let another program use the port": like Close, the reader hands over its
// last bytes, but the log gets "── Let go 12:00:00.000 ──" and the session
// waits for the port (Session::watch); only an open session lets go. The
// reader is given as long as a reopen gives it to let go of the port, since
// another program is about to open it (a reader ends within one read
// timeout unless the machine is very busy).
[[nodiscard]] std::shared_ptr<ReaderChannel> let_go_session(Session& s, Clock& clock,
                                                            std::string_view search_text,
                                                            int settle_ms = kReopenWaitMs);

void send_to_port(Session& s, ReaderCommand cmd);

// Stores the framing (frames also turn hex view on) and tells the reader.
void set_framing(Session& s, std::optional<FrameSpec> framing, std::string_view search_text,
                 size_t visible_rows);

// Appends a line the program writes itself ("── Port closed 12:00:00.000 ──"),
// to the log and the recording like every line.
void append_mark(Session& s, std::string_view text, Millis now, std::string_view search_text);

// Every record a drain hands on goes through one pass, in arrival order; the
// pass must end by appending the record to the session's log.
class LinePass {
 public:
  virtual ~LinePass() = default;
  virtual void received(Session& s, LineRecord&& record) = 0;
};

// The pass with nothing but the log append.
class LogOnlyPass final : public LinePass {
 public:
  explicit LogOnlyPass(std::string_view search_text) : search_text_(search_text) {}
  void received(Session& s, LineRecord&& record) override;

 private:
  std::string_view search_text_;
};

struct DrainOutcome {
  size_t appended = 0;
  bool ended = false;
  // The reader stopped with an error while the session was open: the caller
  // runs the disconnect handling.
  bool lost = false;
  // A connecting session's link came up and its open completed (before the
  // records of this drain); was_reconnect says which kind of open it was.
  bool connected = false;
  bool was_reconnect = false;
  // A connecting session's link could not be made; for a first open the
  // session is Failed with the reason, a reconnect leaves it as it was.
  std::optional<OpenError> unreached;
};

// Takes every record the reader handed over and runs each through the pass;
// keeps the view pinned to the newest line while following. clock and
// search_text serve the open that a link coming up completes.
DrainOutcome drain_session(Session& s, LinePass& pass, size_t visible_rows, Clock& clock,
                           std::string_view search_text);
// The same for sessions on ports that are ready once open.
inline DrainOutcome drain_session(Session& s, LinePass& pass, size_t visible_rows) {
  return drain_session(s, pass, visible_rows, system_clock(), "");
}

}  // namespace lw
