#include "ui/texts.h"

#include <charconv>
#include <iterator>

#include "base/time.h"
#include "lang/tr.h"
#include "ports/port_address.h"
#include "serial/open_failure.h"
#include "ui/colours.h"

namespace lw {

namespace {

// What a tab waiting for its port is waiting for.
std::string waiting_text(const Session& s) {
  if (!s.watch) return {};
  const PortWatch& w = *s.watch;
  if (w.gone) {
    return tr("장치가 없어졌습니다 · 돌아오기를 기다립니다",
              "The device is gone · waiting for it to come back");
  }
  if (w.holder && !w.holder->program.empty()) {
    return fill(tr("{0}(프로세스 {1})이(가) 포트를 쓰는 중 · 놓아주기를 기다립니다",
                   "{0} (process {1}) is using the port · waiting for it to let go"),
                {w.holder->program, std::to_string(w.holder->pid)});
  }
  if (w.taken) {
    return tr("다른 프로그램이 포트를 쓰는 중 · 놓아주기를 기다립니다",
              "Another program is using the port · waiting for it to let go");
  }
  return tr("포트를 놓아줌 · 다른 프로그램을 기다립니다",
            "Port let go · waiting for the other program");
}

// A port on another machine: HOST:PORT, as the texts about it name it.
std::string server_of(const Session& s) {
  const Result<PortAddress, AddressError> a = parse_port_address(s.port_name);
  return a ? host_and_port(*a) : s.port_name;
}

// What a device server did not take of the tab's settings; the port stays open.
std::optional<std::string> link_detail(const LinkReport& link) {
  if (link.no_settings) {
    return tr("연결됨 · 서버가 시리얼 설정을 받지 않습니다",
              "Connected · the server takes no serial settings");
  }
  if (link.refused.empty()) return std::nullopt;
  std::string refused;
  for (const std::string& r : link.refused) refused += (refused.empty() ? "" : ", ") + r;
  return fill(tr("연결됨 · 서버가 받지 않은 설정: {0}", "Connected · the server didn't take {0}"),
              {refused});
}

}  // namespace

StateText session_state_text(const Session& s, const Palette& palette) {
  if (s.connecting) {
    return {fill(tr("{0}에 연결하는 중…", "Connecting to {0}…"), {server_of(s)}),
            palette[Pal::muted]};
  }
  switch (s.state.kind) {
    case ConnectionKind::Open:
      if (s.replay && s.replay->control) {
        const ReplayControl& r = *s.replay->control;
        const std::string lines = std::to_string(r.lines.load());
        if (!r.finished.load())
          return {fill(tr("재생 중 · {0}줄", "Replaying · {0} lines"), {lines}),
                  palette[Pal::accent]};
        return {fill(tr("재생 끝 · {0}줄", "Replay finished · {0} lines"), {lines}),
                palette[Pal::muted]};
      }
      if (s.link) {
        if (std::optional<std::string> detail = link_detail(*s.link))
          return {*detail, colours::alert_row};
      }
      return {tr("연결됨", "Connected"), palette[Pal::accent]};
    case ConnectionKind::Closed:
      return {tr("포트가 닫혀 있습니다", "The port is closed"), palette[Pal::muted]};
    case ConnectionKind::Disconnected:
      if (s.link) {
        // Nothing to plug in: the tab tries the server again by itself, or
        // waits for the user's Reconnect when AutoReconnect is off.
        const std::string at = format_hms_millis(s.state.disconnected_at);
        if (s.retry_at_ms != 0) {
          return {fill(tr("{0}에 연결이 끊겼습니다 · 몇 초마다 다시 연결합니다",
                          "Disconnected at {0} · trying again every few seconds"),
                       {at}),
                  colours::red};
        }
        return {fill(tr("{0}에 연결이 끊겼습니다 · '다시 연결'을 누르세요",
                        "Disconnected at {0} · press 'Reconnect' to try again"),
                     {at}),
                colours::red};
      }
      return {fill(tr("{0}에 연결이 끊겼습니다 · 다시 꽂으면 다시 연결됩니다",
                      "Disconnected at {0} · plug it back in to reconnect"),
                   {format_hms_millis(s.state.disconnected_at)}),
              colours::red};
    case ConnectionKind::Failed:
      // A listed port by its device file (/dev/ttyUSB0), a named one as typed.
      return {open_failure_text(s.state.failure,
                                s.info.added || s.info.node.empty() ? s.port_name : s.info.node,
                                s.state.holder),
              colours::red};
    case ConnectionKind::Waiting:
      return {waiting_text(s), colours::waiting};
  }
  return {};
}

std::string empty_log_text(const Session& s) {
  if (s.log.shown_count() > 0) return {};
  if (s.log.matching_only())
    return tr("그 글자가 있는 줄이 없습니다", "No lines contain that text");
  if (s.opened_at != 0 || s.is_open()) return tr("받은 내용이 없습니다", "Nothing received");
  return tr("받은 데이터가 시각과 함께 여기에 나타납니다",
            "Received data shows up here, with the time");
}

std::string format_amount(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  static constexpr const char* units[] = {"KB", "MB", "GB", "TB"};
  double v = static_cast<double>(bytes) / 1024.0;
  size_t unit = 0;
  while (v >= 1024.0 && unit + 1 < std::size(units)) {
    v /= 1024.0;
    ++unit;
  }
  // to_chars: the decimal point never follows the locale.
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  return std::string(buf, r.ptr) + " " + units[unit];
}

std::string stamp_mode_label(StampMode mode) {
  switch (mode) {
    case StampMode::DateAndTime:
      return tr("날짜와 시각", "Date & time");
    case StampMode::SinceOpening:
      return "+00:00.000";
    case StampMode::Time:
      break;
  }
  return tr("시각", "Time");
}

std::string let_go_label(const Session& s) {
  if (s.is_waiting()) {
    return tr("지금 포트 되찾기 (Ctrl+Shift+L)", "Take the port back now (Ctrl+Shift+L)");
  }
  return tr("다른 프로그램이 포트를 쓰게 하기 (Ctrl+Shift+L)",
            "Let another program use the port (Ctrl+Shift+L)");
}

std::string notice_action_label(NoticeAction::Kind kind) {
  switch (kind) {
    case NoticeAction::Kind::OpenFile:
      return tr("열기", "Open");
    case NoticeAction::Kind::OpenFolder:
      return tr("폴더 열기", "Open folder");
    case NoticeAction::Kind::OpenPage:
      return tr("다운로드 페이지 열기", "Open the download page");
    case NoticeAction::Kind::StopSending:
      return tr("멈춤", "Stop");
    case NoticeAction::Kind::Reconnect:
      break;
  }
  return tr("다시 연결", "Reconnect");
}

}  // namespace lw
