// Tabs that replay a log file: opening one, its speed, and the notice at
// the end of the file.
#include "app/replay.h"

#include <algorithm>
#include <system_error>

#include "app/app.h"
#include "app/session_ops.h"
#include "base/utf8_path.h"
#include "lang/tr.h"

namespace lw {

Result<std::unique_ptr<Port>, OpenError> open_replay_port(ReplayTab& tab) {
  auto control = std::make_shared<ReplayControl>();
  control->speed = tab.speed;
  auto port = open_replay(tab.file, control);
  if (port) {
    tab.control = std::move(control);
    tab.told_end = false;
  }
  return port;
}

std::string replay_speed_label(ReplaySpeed speed) {
  switch (speed) {
    case ReplaySpeed::Normal:
      break;
    case ReplaySpeed::Ten:
      return "10×";
    case ReplaySpeed::Fastest:
      return tr("최대한 빠르게", "As fast as possible");
  }
  return "1×";
}

Session* App::open_replay_tab(const std::filesystem::path& given) {
  // The same file however it was named, and still the same file if the
  // working folder changes.
  std::error_code ec;
  std::filesystem::path file = std::filesystem::absolute(given, ec).lexically_normal();
  if (ec) file = given;
  const std::string name = utf8_from_path(file.filename());
  // The same file again: its tab, started over when it is not running.
  for (size_t i = 0; i < state_.sessions.size(); ++i) {
    Session& s = *state_.sessions[i];
    if (!s.replay || s.replay->file != file) continue;
    select_tab(i);
    reopen(s);
    return &s;
  }
  if (!open_replay(file, std::make_shared<ReplayControl>())) {
    show_notice(
        Notice{fill(tr("{0}을(를) 열 수 없습니다", "Couldn't open {0}"), {name}), true, {}});
    return nullptr;
  }
  // Named after the file; another file of the same name gets a number.
  std::string port_name = name;
  for (int n = 2; std::any_of(state_.sessions.begin(), state_.sessions.end(),
                              [&](const auto& s) { return s->port_name == port_name; });
       ++n) {
    port_name = name + " (" + std::to_string(n) + ")";
  }
  PortInfo info;
  info.name = port_name;
  info.description = tr("재생", "Replay");
  Session& s = add_session(info);
  s.replay.emplace();
  s.replay->file = file;
  OpenContext ctx = open_context();
  open_session(s, false, ctx);
  host_.request_repaint();
  return &s;
}

void App::set_replay_speed(Session& s, ReplaySpeed speed) {
  if (!s.replay) return;
  s.replay->speed = speed;
  if (s.replay->control) s.replay->control->speed = speed;
  host_.request_repaint();
}

void App::replay_progress(Session& s) {
  ReplayTab& r = *s.replay;
  if (r.told_end || !r.control || !r.control->finished.load() || !s.is_open()) return;
  r.told_end = true;
  const std::string name = utf8_from_path(r.file.filename());
  if (const uint64_t bad = r.control->unreadable_line.load(); bad > 0) {
    show_notice(Notice{fill(tr("{0} 재생이 {1}번째 줄에서 멈췄습니다 (읽을 수 없는 줄)",
                               "Replay of {0} stopped at line {1}, which couldn't be read"),
                            {name, std::to_string(bad)}),
                       true,
                       {}});
  } else {
    show_notice(Notice{fill(tr("{0} 재생을 마쳤습니다: {1}줄", "Replay of {0} finished: {1} lines"),
                            {name, std::to_string(r.control->lines.load())}),
                       false,
                       {}});
  }
}

}  // namespace lw
