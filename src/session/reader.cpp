#include "session/reader.h"

#include <limits>
#include <vector>

#include "base/byte_arena.h"
#include "base/detached_thread.h"
#include "session/splitter.h"

namespace lw {

void reader_loop(std::unique_ptr<Port> port, std::shared_ptr<ReaderChannel> channel,
                 uint64_t session_id, Waker waker, Clock& clock) {
  std::vector<uint8_t> buffer(kReadBufferBytes);
  std::vector<LineRecord> out;
  std::vector<ReaderCommand> commands;
  Splitter splitter;
  int64_t last_post = std::numeric_limits<int64_t>::min() / 2;
  std::optional<std::string> stop_error;
  bool stop = false;

  // A network port connects here, off the window thread; a Close queued
  // meanwhile ends the attempt.
  const bool reports_link = port->connects_later();
  LinkReport link;
  bool link_to_post = false;
  if (reports_link) {
    const auto cancelled = [&] { return channel->close_queued(); };
    Result<void, OpenError> linked = port->connect(cancelled);
    if (!linked) {
      port.reset();
      if (cancelled()) {
        channel->finish(out, std::nullopt);
      } else {
        channel->finish_unopened(linked.error(), "couldn't connect");
      }
      channel->posted.store(true);
      waker(session_id);
      byte_arena::thread_done();
      channel->mark_stopped();
      return;
    }
    link = port->link_report();
    channel->report_link(link);
    link_to_post = true;
  }

  while (!stop) {
    commands.clear();
    channel->take_commands(commands);
    for (ReaderCommand& cmd : commands) {
      switch (cmd.kind) {
        case ReaderCommand::Kind::Write:
          if (Status st = port->write_all(cmd.bytes.span()); !st) {
            stop_error = st.error().text;
            stop = true;
          } else {
            channel->bytes_sent.fetch_add(cmd.bytes.size());
          }
          break;
        case ReaderCommand::Kind::ApplySettings:
          if (Status st = port->configure(cmd.settings); !st) {
            stop_error = st.error().text;
            stop = true;
          }
          break;
        case ReaderCommand::Kind::SetFraming:
          splitter.set_framing(cmd.framing, out);
          break;
        case ReaderCommand::Kind::Close:
          stop = true;
          break;
      }
      if (stop) break;  // the commands after a failure or Close are dropped
    }
    if (stop) break;

    Result<size_t> got = port->read(buffer);
    if (!got) {
      stop_error = got.error().text;
      // The system's text may be empty; only its presence matters.
      if (stop_error->empty()) stop_error = "read failed";
      break;
    }
    const int64_t mono = clock.monotonic_ms();
    if (*got == 0) {
      splitter.idle(mono, out);
    } else {
      channel->bytes_received.fetch_add(*got);
      splitter.feed({buffer.data(), *got}, clock.local_now(), mono, out);
    }

    if (reports_link) {
      LinkReport now = port->link_report();
      if (now != link) {
        link = now;
        channel->report_link(std::move(now));
        link_to_post = true;
      }
    }
    const bool holds = channel->hand_over(out) || link_to_post;
    if (holds && mono - last_post > kMinPostSpacingMs && !channel->posted.exchange(true)) {
      waker(session_id);
      last_post = mono;
      link_to_post = false;
    }
  }

  if (stop_error && stop_error->empty()) stop_error = "write failed";
  splitter.close_partial(out);
  // The port is released before the end is reported, so whoever waits for the
  // end may reopen it at once and may let go of what the port refers to.
  port.reset();
  channel->finish(out, std::move(stop_error));
  channel->posted.store(true);
  waker(session_id);
  out.clear();
  byte_arena::thread_done();
  channel->mark_stopped();
}

void start_reader(std::unique_ptr<Port> port, std::shared_ptr<ReaderChannel> channel,
                  uint64_t session_id, Waker waker, Clock& clock) {
  start_detached([port = std::move(port), channel = std::move(channel), session_id,
                  waker = std::move(waker), &clock]() mutable {
    reader_loop(std::move(port), std::move(channel), session_id, std::move(waker), clock);
  });
}

}  // namespace lw
