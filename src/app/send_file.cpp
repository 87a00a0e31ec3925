// Files sent to a port: a piece per tick of timer 8, as much as the port has
// room for, the progress notice with its Stop, and how a send ends.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/app.h"
#include "app/session_ops.h"
#include "base/utf8_path.h"
#include "lang/tr.h"
#include "send/send_text.h"
#include "settings/values.h"

namespace lw {

namespace {

constexpr int64_t kProgressEveryMs = 250;
constexpr uint64_t kMinInFlight = 1024;
constexpr uint64_t kMaxInFlight = 64 * 1024;

// Bytes handed to the port but not yet written: about half a second of the
// line, so the reader thread is never long in a write and Stop is prompt.
uint64_t in_flight_limit(const PortSettings& p) {
  return std::clamp<uint64_t>(p.baud / 20, kMinInFlight, kMaxInFlight);
}

std::string bytes_text(uint64_t n) {
  return fill(tr("{0}바이트", "{0} bytes"), {std::to_string(n)});
}

std::string part_text(uint64_t done, uint64_t total) {
  return fill(tr("{1}바이트 중 {0}", "{0} of {1} bytes"),
              {std::to_string(done), std::to_string(total)});
}

enum class End { Done, Stopped, Lost };

void finish(App& app, Session& s, End end) {
  const FileSending f = std::move(*s.sending);
  s.sending.reset();
  const uint64_t total = f.file.total();
  // Stopped: what was handed to the port still goes; lost: only what it took.
  const uint64_t upto = end == End::Done      ? total
                        : end == End::Stopped ? f.file.queued()
                                              : f.written;
  const std::string amount = upto == total ? bytes_text(total) : part_text(upto, total);
  // Text files show how far they got in their Sent lines, unless the port
  // was lost: lines may have been logged that it never took.
  if (f.file.binary() || end == End::Lost) {
    app.append_mark(s, fill(tr("── {0} 보냄 ({1}) ──", "── Sent {0} ({1}) ──"), {f.name, amount}),
                    app.host().clock().local_now());
    s.log.settle_scroll(app.state().visible_rows);
  }
  switch (end) {
    case End::Done:
      app.show_notice(
          Notice{fill(tr("{0} 보냄 ({1})", "Sent {0} ({1})"), {f.name, amount}), false, {}});
      break;
    case End::Stopped:
      app.show_notice(Notice{
          fill(tr("{0} 보내기를 멈췄습니다: {1}", "Stopped sending {0}: {1}"), {f.name, amount}),
          false,
          {}});
      break;
    case End::Lost:
      app.show_notice(Notice{fill(tr("{0}을(를) 보내는 중에 포트가 끊겼습니다: {1}을 보냈습니다",
                                     "The port was lost while sending {0}: {1} went out"),
                                  {f.name, amount}),
                             true,
                             {}});
      break;
  }
  app.host().request_repaint();
}

// The progress notice, unless another notice is showing.
void show_progress(App& app, Session& s, int64_t now) {
  FileSending& f = *s.sending;
  const std::optional<ShownNotice>& shown = app.state().notice;
  const bool ours = shown && !shown->notice.actions.empty() &&
                    shown->notice.actions[0].kind == NoticeAction::Kind::StopSending &&
                    shown->notice.actions[0].session_id == s.id;
  if ((shown && !ours) || (ours && now - f.shown_at < kProgressEveryMs)) return;
  f.shown_at = now;
  app.show_notice(Notice{fill(tr("{0} 보내는 중: {1}", "Sending {0}: {1}"),
                              {f.name, part_text(f.written, f.file.total())}),
                         false,
                         {{NoticeAction::Kind::StopSending, {}, s.id}}});
}

}  // namespace

void App::send_file(Session& s, const std::filesystem::path& file) {
  if (s.sending) return;
  const std::string name = utf8_from_path(file.filename());
  if (!s.is_open() || !s.channel) {
    show_notice(Notice{port_not_open_text(), true, {}});
    return;
  }
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec && size > kMaxSendFileBytes) {
    show_notice(Notice{fill(tr("{0}은(는) 보내기에 너무 큽니다 (64MB 넘음)",
                               "{0} is too big to send (more than 64 MB)"),
                            {name}),
                       true,
                       {}});
    return;
  }
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> content;
  if (!ec && in) content.assign(std::istreambuf_iterator<char>(in), {});
  if (ec || !in || content.size() != size) {
    show_notice(
        Notice{fill(tr("{0}을(를) 열 수 없습니다", "Couldn't open {0}"), {name}), true, {}});
    return;
  }
  const FileSendOptions options{send_file_by_line(settings_), s.send.ending,
                                send_file_pause(settings_)};
  s.sending.emplace(FileSending{name, FileSend(std::move(content), options), s.channel,
                                s.channel->bytes_sent.load(), 0, 0});
  // The first piece goes at once.
  sending_tick();
}

void App::stop_sending(Session& s) {
  if (s.sending) finish(*this, s, End::Stopped);
  keep_sending_timer();
}

void App::sending_tick() {
  const int64_t now = host_.clock().monotonic_ms();
  const Millis wall = host_.clock().local_now();
  for (size_t i = 0; i < state_.sessions.size(); ++i) {
    Session& s = *state_.sessions[i];
    if (!s.sending) continue;
    FileSending& f = *s.sending;
    const std::shared_ptr<ReaderChannel> channel = f.channel.lock();
    if (channel) {
      const uint64_t took = channel->bytes_sent.load() - f.sent_before;
      f.written = std::min(f.file.queued(), std::max(f.written, took));
    }
    if (!s.is_open() || !channel || channel != s.channel) {
      finish(*this, s, s.state.kind == ConnectionKind::Disconnected ? End::Lost : End::Stopped);
      continue;
    }
    if (f.file.all_queued() && f.written == f.file.total()) {
      finish(*this, s, End::Done);
      continue;
    }
    const uint64_t in_flight = f.file.queued() - f.written;
    const uint64_t limit = in_flight_limit(s.settings);
    std::optional<FilePiece> piece =
        f.file.take(limit > in_flight ? limit - in_flight : 0, in_flight == 0, now, wall);
    if (piece) {
      send_to_port(s, ReaderCommand::write(std::move(piece->bytes)));
      for (LineRecord& r : piece->sent) {
        s.lab.replies.on_send(r.time);
        append_line(s, std::move(r));
      }
      if (!piece->sent.empty()) {
        s.log.settle_scroll(state_.visible_rows);
        host_.request_repaint();
      }
    }
    show_progress(*this, s, now);
  }
  keep_sending_timer();
}

// Timer 8 runs while any tab sends a file.
void App::keep_sending_timer() {
  const bool any = std::any_of(state_.sessions.begin(), state_.sessions.end(),
                               [](const auto& s) { return s->sending.has_value(); });
  if (!any) {
    host_.stop_timer(kTimerSendFile);
  } else if (!sending_timer_on_) {
    host_.start_timer(kTimerSendFile, kSendFilePeriodMs);
  }
  sending_timer_on_ = any;
}

}  // namespace lw
