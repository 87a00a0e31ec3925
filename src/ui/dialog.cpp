#include "ui/dialog.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/app.h"
#include "app/session_ops.h"
#include "base/time.h"
#include "base/trim.h"
#include "base/utf8.h"
#include "lang/platform_words.h"
#include "lang/tr.h"
#include "log/display.h"
#include "ports/port_address.h"
#include "ui/ui_state.h"

namespace lw {

namespace {

constexpr float kCardWidth = 460;
constexpr float kCardHeight = 176;
constexpr float kMargin = 20;
constexpr float kButtonHeight = 34;
constexpr float kButtonPadding = 36;

std::string ok_label() { return tr("확인", "OK"); }
std::string cancel_label() { return tr("취소", "Cancel"); }

// What a dialog starts with, for a kind; none when it cannot open (a kind
// that needs a tab, or a series the tab does not have).
std::optional<Dialog> make_dialog(App& app, DialogKind kind, size_t series) {
  Session* s = app.state().current_session();
  Dialog d;
  d.kind = kind;
  d.series = series;
  std::string initial;
  switch (kind) {
    case DialogKind::note:
      if (s == nullptr) return std::nullopt;
      d.title = tr("메모 추가", "Add a note");
      d.hint = tr("메모는 시간과 함께 로그와 값 CSV에 들어갑니다",
                  "The note goes into the log and the values CSV, with the time");
      break;
    case DialogKind::text_alert:
      d.title = tr("텍스트 알림", "Text alert");
      d.hint = tr("받은 줄에 이 텍스트가 있으면 알려 줍니다 (대소문자 구분 없음)",
                  "Tells you when a received line contains this text (any case)");
      initial = "ERROR";
      break;
    case DialogKind::value_above:
    case DialogKind::value_below: {
      if (s == nullptr || series >= s->lab.series.series().size()) return std::nullopt;
      const Series& picked = s->lab.series.series()[series];
      d.series_name = picked.name;
      d.title = kind == DialogKind::value_above
                    ? fill(tr("{0} 값이 기준보다 올라가면 알림", "Alert when {0} goes above"),
                           {picked.name})
                    : fill(tr("{0} 값이 기준보다 내려가면 알림", "Alert when {0} goes below"),
                           {picked.name});
      d.hint = tr("기준값 (넘어서는 순간 한 번 알려 줍니다)",
                  "The limit (it tells you once, at the moment it is crossed)");
      if (!picked.points.empty()) initial = format_value(picked.points.newest().value);
      break;
    }
    case DialogKind::framing:
      if (s == nullptr) return std::nullopt;
      d.title = tr("고정 길이 프레임으로 나누기", "Split into fixed-length frames");
      d.hint =
          tr("시작 바이트 (16진수, 생략 가능) · 길이 · 체크섬 (sum, xor, crc8, crc16modbus, "
             "crc16ccitt, crc32, 생략 가능). 예: AA 8 sum",
             "Start byte (hex, optional) · length · checksum (sum, xor, crc8, crc16modbus, "
             "crc16ccitt, crc32; optional). Example: AA 8 sum");
      if (s->framing) initial = frame_spec_text(*s->framing);
      break;
    case DialogKind::device_path:
      d.title = tr("경로로 장치 열기", "Open a device by path");
      d.hint = platform_tr(PlatformText::address_hint);
      initial = kAddressStart;
      break;
  }
  d.field.set_utf8(initial);
  return d;
}

void add_note(App& app, std::string_view note) {
  Session* s = app.state().current_session();
  if (s == nullptr || note.empty()) return;
  const Millis at = app.host().clock().local_now();
  app.append_mark(
      *s, fill(tr("── 메모: {0} {1} ──", "── Note: {0} {1} ──"), {format_hms_millis(at), note}),
      at);
  write_note(s->lab, at, note);
  s->log.settle_scroll(app.state().visible_rows);
}

void add_value_alert(App& app, const Dialog& d, std::string_view limit) {
  LabApp* lab = app.state().lab.get();
  if (lab == nullptr) return;
  const AlertKind kind = d.kind == DialogKind::value_above ? AlertKind::Above : AlertKind::Below;
  app.show_notice(lab->alerts().add_value_alert(d.series_name, kind, limit));
}

void add_text_alert(App& app, std::string_view text) {
  LabApp* lab = app.state().lab.get();
  if (lab == nullptr) return;
  if (std::optional<Notice> notice = lab->alerts().add_text_alert(text)) {
    app.show_notice(std::move(*notice));
  }
}

void apply_framing(App& app, std::string_view text) {
  Session* s = app.state().current_session();
  if (s == nullptr) return;
  Result<FrameSpec> frame = parse_frame_spec(text);
  if (!frame) {
    app.show_notice(Notice{frame.error().text, true, {}});
    return;
  }
  set_framing(*s, *frame, app.state().search_text, app.state().visible_rows);
}

}  // namespace

DialogGeometry dialog_geometry(Gfx& gfx, float width, float height, float scale) {
  DialogGeometry g;
  const float w = std::min(kCardWidth * scale, width - 2 * kMargin * scale);
  const float h = kCardHeight * scale;
  g.card = {std::round((width - w) / 2), std::round((height - h) / 2.5f), w, h};
  g.field = {g.card.x + kMargin * scale, g.card.y + 76 * scale, w - 2 * kMargin * scale,
             kButtonHeight * scale};
  const float button_top = g.card.y + (kCardHeight - 50) * scale;
  const float ok_w = gfx.measure_text(ok_label(), TextFormat::normal) + kButtonPadding * scale;
  g.ok = {g.card.right() - kMargin * scale - ok_w, button_top, ok_w, kButtonHeight * scale};
  const float cancel_w =
      gfx.measure_text(cancel_label(), TextFormat::normal) + kButtonPadding * scale;
  g.cancel = {g.ok.x - 8 * scale - cancel_w, button_top, cancel_w, kButtonHeight * scale};
  return g;
}

void open_dialog(App& app, DialogKind kind, size_t series) {
  std::optional<Dialog> d = make_dialog(app, kind, series);
  if (!d) return;
  UiState& ui = ui_state(app);
  ui.dialog = std::move(d);
  ui.focus = Focus::dialog;
  app.host().request_repaint();
}

namespace {

// A network address that is malformed keeps the dialog open and says what
// is wrong in it; nothing is opened or remembered.
std::string address_error(std::string_view text) {
  const Result<PortAddress, AddressError> a = parse_port_address(text);
  if (a) return {};
  switch (a.error()) {
    case AddressError::BadHost:
      return tr(
          "호스트 이름이나 IP 주소가 없습니다 (IPv6 주소는 [ ] 안에): 예: "
          "rfc2217://192.168.1.20:4000",
          "No host name or IP address (IPv6 in brackets). Example: "
          "rfc2217://192.168.1.20:4000");
    case AddressError::BadPort:
      return tr("1부터 65535 사이의 포트 번호가 필요합니다. 예: tcp://lab-pi:4000",
                "It needs a port number from 1 to 65535. Example: tcp://lab-pi:4000");
    case AddressError::Empty:
    case AddressError::Unknown:
      break;
  }
  return {};
}

}  // namespace

void close_dialog(App& app, bool confirm) {
  UiState& ui = ui_state(app);
  if (!ui.dialog) return;
  if (confirm && ui.dialog->kind == DialogKind::device_path) {
    const std::string typed = utf8_from_utf32(ui.dialog->field.text);
    std::string error = address_error(trim_white_space(typed));
    if (!error.empty()) {
      ui.dialog->error = std::move(error);
      app.host().request_repaint();
      return;
    }
  }
  // Gone before its action runs, so a failure cannot leave it open.
  const Dialog d = std::move(*ui.dialog);
  ui.dialog.reset();
  ui.focus = app.state().current_session() != nullptr ? Focus::send : Focus::none;
  if (confirm) {
    const std::string typed = utf8_from_utf32(d.field.text);
    const std::string_view text = trim_white_space(typed);
    switch (d.kind) {
      case DialogKind::note:
        add_note(app, text);
        break;
      case DialogKind::text_alert:
        add_text_alert(app, text);
        break;
      case DialogKind::value_above:
      case DialogKind::value_below:
        add_value_alert(app, d, text);
        break;
      case DialogKind::framing:
        apply_framing(app, text);
        break;
      case DialogKind::device_path:
        // Only the start the dialog offered is no address yet.
        if (text != trim_white_space(kAddressStart)) app.open_address(text);
        if (app.state().current_session() != nullptr) ui.focus = Focus::send;
        break;
    }
  }
  app.host().request_repaint();
}

std::string dialog_ok_label() { return ok_label(); }
std::string dialog_cancel_label() { return cancel_label(); }

}  // namespace lw
