// A tab whose device went away: it turns lost, keeps its log, gets the
// disconnect mark, and the minutes (or lines) before the loss are saved at
// once so that what the device printed last survives.
#include "app/app.h"
#include "app/session_views.h"
#include "base/text_file.h"
#include "base/utf8_path.h"
#include "files/file_names.h"
#include "lab/alert_saves.h"
#include "lang/tr.h"
#include "settings/values.h"

namespace lw {

namespace {

struct CutSpan {
  uint64_t from = 0;  // absolute number of the first kept line
  std::string label;  // "The last 5 min before the disconnect"
};

CutSpan cut_span(const Log& log, uint32_t keep, Millis disconnected_at) {
  if (cut_keep_counts_lines(keep)) {
    const uint64_t count = log.line_count();
    return {log.end_absolute() - std::min<uint64_t>(keep, count),
            fill(tr("연결이 끊기기 전 마지막 {0}줄", "The last {0} lines before the disconnect"),
                 {std::to_string(keep)})};
  }
  const Millis cutoff = disconnected_at - Millis{keep} * 60'000;
  return {log.first_at_or_after(cutoff),
          fill(tr("연결이 끊기기 전 마지막 {0}분", "The last {0} min before the disconnect"),
               {std::to_string(keep)})};
}

}  // namespace

void App::on_disconnect(Session& s) {
  if (!s.is_open()) return;  // a loss reported twice is handled once
  if (std::shared_ptr<ReaderChannel> channel = std::move(s.channel)) {
    // Whatever the reader had queued lands before the mark; it is told to
    // close and not waited for.
    DrainedEvents queued;
    channel->take_events(queued);
    for (LineRecord& r : queued.records) append_line(s, std::move(r));
    s.bytes_received = channel->bytes_received.load();
    s.bytes_sent = channel->bytes_sent.load();
    let_go(std::move(channel));
  }
  // A repeat goes on: if the device is back before its next send, polling
  // continues; otherwise that send fails and ends it.

  const Millis at = host_.clock().local_now();
  s.state = ConnectionState{ConnectionKind::Disconnected, at, OpenFailure::Other, {}};
  s.disconnects += 1;
  if (s.link) s.link->up = false;
  schedule_retry(s);
  append_mark(s, fill(tr("── 연결 끊김 {0} ──", "── Disconnected {0} ──"), {format_hms_millis(at)}),
              at);
  if (s.recording) (void)s.recording->flush();

  const std::string who = port_and_description(s);
  const std::string plain = fill(tr("{0} 연결 끊김", "{0} disconnected"), {who});
  if (!cut_save(settings_)) {
    show_notice(Notice{plain, true, {}});
  } else {
    const CutSpan span = cut_span(s.log, cut_keep(settings_), at);
    std::string text = header_line(s.port_name, s.description, s.settings) + "\r\n";
    text += "# " + span.label + " · " + format_date_time(at) + "\r\n";
    s.log.for_each_from(span.from, [&](uint64_t, const LineRecord& r) {
      text += file_line(r, s.hex_view());
      text += "\r\n";
    });
    const std::filesystem::path file =
        state_.log_folder / path_from_utf8(event_file_name(s.port_name, s.description, at,
                                                           tr("연결끊김", "disconnected")));
    if (write_text_file(file, text)) {
      show_notice(Notice{
          fill(tr("{0} 연결 끊김, 끊기기 전 로그를 저장했습니다",
                  "{0} disconnected; the log before it was saved"),
               {who}),
          true,
          {{NoticeAction::Kind::OpenFile, file, 0}, {NoticeAction::Kind::OpenFolder, file, 0}}});
    } else {
      show_notice(Notice{plain, true, {}});
    }
  }
  // Alert saves waiting for their "after" half are written now, and say so.
  if (auto saved = flush_alert_saves(s.lab.alerts, alert_source(s, state_.log_folder), true, at))
    show_notice(alert_saved_notice(*saved));
  host_.request_repaint();
}

}  // namespace lw
