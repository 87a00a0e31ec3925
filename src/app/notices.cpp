#include "app/notices.h"

namespace lw {

void show_notice(AppState& app, Host& host, Notice notice) {
  const int lifetime = notice.actions.empty() ? kNoticeMs : kNoticeWithActionsMs;
  app.notice = ShownNotice{std::move(notice), host.clock().monotonic_ms(), lifetime};
  host.start_timer(kTimerNotice, lifetime);
  host.request_repaint();
}

void notice_timer(AppState& app, Host& host) {
  host.stop_timer(kTimerNotice);
  if (!app.notice) return;
  const int64_t age = host.clock().monotonic_ms() - app.notice->shown_at_mono;
  if (age >= app.notice->lifetime_ms - kNoticeGraceMs) {
    app.notice.reset();
    host.request_repaint();
  } else {
    // Not yet: look again when its time is up.
    host.start_timer(kTimerNotice, static_cast<int>(app.notice->lifetime_ms - age));
  }
}

}  // namespace lw
