#include "app/session_ops.h"

#include <atomic>

#include "lang/tr.h"

namespace lw {

uint64_t next_session_id() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1);
}

void append_mark(Session& s, std::string_view text, Millis now, std::string_view search_text) {
  s.append(LineRecord{Bytes(text), now, LineEnding::None, Direction::Mark}, search_text);
}

bool open_session(Session& s, bool is_reconnect, OpenContext& ctx) {
  if (s.channel) {
    // The old reader must let go of the port before it can be opened again.
    s.channel->push_command(ReaderCommand::close());
    (void)s.channel->wait_ended(kReopenWaitMs);
    s.channel.reset();
  }
  // A tab that waited keeps what the device sent since the port came free.
  auto port = s.replay  ? open_replay_port(*s.replay)
              : s.watch ? ctx.ports.reopen_port(s.port_name, s.settings)
                        : ctx.ports.open_port(s.port_name, s.settings);
  if (!port) {
    const int64_t now = ctx.clock.monotonic_ms();
    if (s.watch && after_failed_open(*s.watch, port.error(), now)) return false;
    if (port.error().failure == OpenFailure::Busy) {
      // Another program has it: the tab opens it once that program lets go.
      s.watch = watch_while_busy(port.error().holder, is_reconnect, now);
      s.state = ConnectionState{ConnectionKind::Waiting, 0, OpenFailure::Busy, {}};
      return false;
    }
    s.watch.reset();
    s.state = ConnectionState{ConnectionKind::Failed, 0, port.error().failure, port.error().holder};
    return false;
  }
  s.watch.reset();
  const bool later = (*port)->connects_later();
  auto channel = std::make_shared<ReaderChannel>();
  // Queued before the thread starts, so it is the reader's first command.
  if (s.framing) channel->push_command(ReaderCommand::set_framing(s.framing));
  start_reader(std::move(*port), channel, s.id, ctx.waker, ctx.clock);

  s.channel = std::move(channel);
  s.retry_at_ms = 0;
  if (later) {
    s.connecting = is_reconnect;
    s.link = LinkReport{};
    return true;
  }
  complete_open(s, is_reconnect, ctx.clock.local_now(), ctx.search_text);
  return true;
}

void complete_open(Session& s, bool is_reconnect, Millis now, std::string_view search_text) {
  s.connecting.reset();
  s.state = ConnectionState{ConnectionKind::Open, 0, OpenFailure::Other, {}};
  s.opened_at = now;
  s.earlier_bytes_received += s.bytes_received;
  s.bytes_received = 0;
  s.bytes_sent = 0;
  if (is_reconnect) {
    s.reconnects += 1;
    append_mark(
        s, fill(tr("── 다시 연결됨 {0} ──", "── Reconnected {0} ──"), {format_hms_millis(now)}),
        now, search_text);
  }
}

namespace {

// Tells the reader to close, gives it up to settle_ms to hand over its last
// bytes and appends them. Returns the channel while its reader still runs.
std::shared_ptr<ReaderChannel> hand_over_last_lines(Session& s, std::string_view search_text,
                                                    int settle_ms) {
  std::shared_ptr<ReaderChannel> running;
  s.connecting.reset();
  s.retry_at_ms = 0;
  if (std::shared_ptr<ReaderChannel> channel = std::move(s.channel)) {
    channel->push_command(ReaderCommand::close());
    if (!channel->wait_ended(settle_ms)) running = channel;
    DrainedEvents last;
    channel->take_events(last);
    // These skip the measurement pass but, like every line, reach the recording.
    for (LineRecord& r : last.records) s.append(std::move(r), search_text);
    s.bytes_received = channel->bytes_received.load();
    s.bytes_sent = channel->bytes_sent.load();
  }
  return running;
}

}  // namespace

std::shared_ptr<ReaderChannel> close_session(Session& s, Clock& clock, std::string_view search_text,
                                             int settle_ms) {
  std::shared_ptr<ReaderChannel> running = hand_over_last_lines(s, search_text, settle_ms);
  if (s.is_open()) {
    const Millis now = clock.local_now();
    append_mark(s,
                fill(tr("── 포트 닫힘 {0} ──", "── Port closed {0} ──"), {format_hms_millis(now)}),
                now, search_text);
  }
  s.state = ConnectionState{ConnectionKind::Closed, 0, OpenFailure::Other, {}};
  s.watch.reset();  // a tab that waited stops waiting
  return running;
}

std::shared_ptr<ReaderChannel> let_go_session(Session& s, Clock& clock,
                                              std::string_view search_text, int settle_ms) {
  if (!s.is_open()) return nullptr;
  std::shared_ptr<ReaderChannel> running = hand_over_last_lines(s, search_text, settle_ms);
  const Millis now = clock.local_now();
  append_mark(s, fill(tr("── 놓아줌 {0} ──", "── Let go {0} ──"), {format_hms_millis(now)}), now,
              search_text);
  s.state = ConnectionState{ConnectionKind::Waiting, 0, OpenFailure::Other, {}};
  s.watch = watch_after_let_go(clock.monotonic_ms());
  return running;
}

void send_to_port(Session& s, ReaderCommand cmd) {
  if (s.channel) s.channel->push_command(std::move(cmd));
}

void set_framing(Session& s, std::optional<FrameSpec> framing, std::string_view search_text,
                 size_t visible_rows) {
  s.framing = framing;
  if (framing) s.log.set_hex_view(true, search_text, visible_rows);
  send_to_port(s, ReaderCommand::set_framing(framing));
}

void LogOnlyPass::received(Session& s, LineRecord&& record) {
  s.append(std::move(record), search_text_);
}

DrainOutcome drain_session(Session& s, LinePass& pass, size_t visible_rows, Clock& clock,
                           std::string_view search_text) {
  DrainOutcome out;
  if (!s.channel) return out;
  // Kept per thread so a drain reuses the previous drain's capacity.
  thread_local DrainedEvents events;
  s.channel->take_events(events);
  if (events.link) {
    s.link = std::move(*events.link);
    events.link.reset();
    // The link is up before any record it carried is handed over.
    if (s.connecting && s.link->up) {
      out.connected = true;
      out.was_reconnect = *s.connecting;
      complete_open(s, *s.connecting, clock.local_now(), search_text);
    }
  }
  s.bytes_received = s.channel->bytes_received.load();
  s.bytes_sent = s.channel->bytes_sent.load();
  for (LineRecord& r : events.records) pass.received(s, std::move(r));
  out.appended = events.records.size();
  events.records.clear();
  if (events.ended) {
    out.ended = true;
    s.channel.reset();
    out.lost = events.error.has_value() && s.is_open();
    if (events.unopened && s.connecting) {
      out.unreached = std::move(*events.unopened);
      out.was_reconnect = *s.connecting;
      if (!*s.connecting) {
        s.state = ConnectionState{ConnectionKind::Failed, 0, out.unreached->failure,
                                  out.unreached->holder};
      }
    }
    events.unopened.reset();
    s.connecting.reset();
  }
  if (out.appended > 0) s.log.settle_scroll(visible_rows);
  return out;
}

}  // namespace lw
