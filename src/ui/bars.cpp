#include "ui/bars.h"

#include <cmath>

#include "files/log_folder.h"
#include "gfx/icons.h"
#include "lang/platform_words.h"
#include "lang/tr.h"
#include "ports/port_address.h"
#include "send/line_ending.h"
#include "serial/settings_text.h"
#include "ui/texts.h"

namespace lw {

namespace {

constexpr float kBarWidget = 32;

Widget make(int id, WidgetStyle style, std::string label, std::string_view icon = {},
            std::string tooltip = {}) {
  Widget w;
  w.id = id;
  w.style = style;
  w.label = std::move(label);
  w.icon = icon;
  w.tooltip = std::move(tooltip);
  return w;
}

RowPlacement bar_placement(const Rect& row, const WindowLayout& layout, int bar) {
  RowPlacement p;
  p.row = row;
  p.left = layout.panel_width + dip(12, layout.scale);
  p.right = layout.width - dip(12, layout.scale);
  p.height = kBarWidget;
  p.overflow_row = bar;
  return p;
}

// Lays the bar out; paint order is left to right.
BarRow laid_out(std::vector<Widget> left, std::vector<Widget> right, const Rect& row,
                const WindowLayout& layout, int bar, Gfx& gfx) {
  BarRow out;
  out.overflow = layout_row(left, right, bar_placement(row, layout, bar), gfx);
  for (auto it = right.rbegin(); it != right.rend(); ++it) left.push_back(std::move(*it));
  out.widgets = std::move(left);
  return out;
}

// How a widget gives way in a row too narrow for it (Widget::narrow_rank).
void ranked(Widget& w, uint8_t narrow, uint8_t overflow) {
  w.narrow_rank = narrow;
  w.overflow_rank = overflow;
}

}  // namespace

// When the settings row is too narrow, Values CSV and Record show their
// icons alone, then the amounts go; then Values CSV, Record, RTS, DTR and
// the frame setting move into the overflow menu, in that order.
BarRow settings_row_widgets(const Session& s, const AppState& app, const WindowLayout& layout,
                            Gfx& gfx) {
  std::vector<Widget> left;
  // A tcp:// port carries bytes only: its settings never leave the tab.
  const Result<PortAddress, AddressError> address = parse_port_address(s.port_name);
  const bool raw_tcp = address && address->kind == AddressKind::Tcp;
  const auto about = [&](std::string text) {
    return raw_tcp ? tr("tcp:// 포트는 바이트만 그대로 전달합니다: 이 설정은 탭에만 남습니다",
                        "A tcp:// port carries the bytes as they are: this setting stays in "
                        "the tab")
                   : text;
  };
  if (s.replay) {
    // A replay has a speed where a port has its line settings.
    left.push_back(make(cmd::replay_speed, WidgetStyle::dropdown,
                        replay_speed_label(s.replay->speed), {}, tr("재생 속도", "Replay speed")));
  } else {
    left.push_back(make(cmd::baud_field, WidgetStyle::field, "110", {},
                        about(tr("통신 속도 (장치와 같아야 하며, 다르면 글자가 깨집니다)",
                                 "Baud rate (must match the device, or the text comes out "
                                 "garbled)"))));
    left.push_back(make(cmd::baud_presets, WidgetStyle::dropdown, ""));
  }
  left.push_back(
      make(cmd::frame_setting, WidgetStyle::dropdown, frame_summary(s.settings), {},
           about(tr("데이터 비트 · 패리티 · 정지 비트", "Data bits · parity · stop bits"))));
  ranked(left.back(), 0, 1);
  if (!s.replay) {
    Widget dtr = make(cmd::dtr, WidgetStyle::button, "DTR", {},
                      about(tr("DTR을 켜면 아두이노 보드가 다시 시작(리셋)됩니다",
                               "Turning DTR on restarts (resets) an Arduino board")));
    dtr.active = s.settings.dtr;
    left.push_back(std::move(dtr));
    ranked(left.back(), 0, 2);
    Widget rts = make(cmd::rts, WidgetStyle::button, "RTS", {},
                      about(tr("RTS 신호를 켜거나 끕니다", "Turn the RTS signal on or off")));
    rts.active = s.settings.rts;
    left.push_back(std::move(rts));
    ranked(left.back(), 0, 3);
  }
  std::string open_label;
  switch (s.state.kind) {
    case ConnectionKind::Disconnected:
      open_label = tr("다시 연결", "Reconnect");
      break;
    case ConnectionKind::Open:
    case ConnectionKind::Waiting:  // stops waiting
      open_label = tr("닫기", "Close");
      break;
    case ConnectionKind::Closed:
    case ConnectionKind::Failed:
      open_label = tr("열기", "Open");
      break;
  }
  Widget open = make(cmd::open_close, WidgetStyle::button, std::move(open_label));
  open.primary = !s.is_open() && !s.is_waiting();
  left.push_back(std::move(open));
  if (s.is_open() || s.is_waiting()) {
    left.push_back(
        make(cmd::let_go, WidgetStyle::button, tr("놓아주기", "Let go"), {}, let_go_label(s)));
    left.back().active = s.is_waiting();
    ranked(left.back(), 0, 6);
  }

  // Right to left: the amounts at the row's end, then Record, then Values CSV.
  std::vector<Widget> right;
  Widget amounts = make(cmd::none, WidgetStyle::readout, format_amount(s.bytes_received));
  amounts.detail = format_amount(s.bytes_sent);
  const float sc = gfx.scale();
  amounts.fixed_width =
      std::ceil(gfx.measure_text(tr("받음", "In"), TextFormat::small) +
                gfx.measure_text(amounts.label, TextFormat::normal) +
                gfx.measure_text(tr("보냄", "Out"), TextFormat::small) +
                gfx.measure_text(amounts.detail, TextFormat::normal) + (5 + 14 + 5) * sc);
  right.push_back(std::move(amounts));
  ranked(right.back(), 1, 0);
  Widget record =
      make(cmd::record, WidgetStyle::icon_label, tr("기록", "Record"), icons::record,
           fill(platform_tr(PlatformText::record_tooltip), {folder_as_shown(app.log_folder)}));
  record.active = s.recording.has_value();
  right.push_back(std::move(record));
  ranked(right.back(), 2, 4);
  Widget csv =
      make(cmd::values_csv, WidgetStyle::icon_label, tr("값 CSV", "Values CSV"), icons::values_csv,
           tr("각 줄의 숫자를 CSV로 기록합니다 (시각, 초, 값마다 한 열)",
              "Record the numbers in each line to CSV (time, seconds, one column per "
              "value)"));
  csv.active = app.lab && values_csv_on(*app.lab, s.lab);
  right.push_back(std::move(csv));
  ranked(right.back(), 2, 5);

  return laid_out(std::move(left), std::move(right), layout.settings_row, layout, kSettingsBar,
                  gfx);
}

bool narrow_toolbar(const WindowLayout& layout) {
  const float row_left = layout.panel_width + dip(12, layout.scale);
  return layout.width - row_left < dip(920, layout.scale);
}

// Beyond the narrow form, a toolbar still too narrow shows the stamp mode
// and the alert count by their icons, shrinks the search field to 120 and
// hides the match count; then note, stamp mode, alerts, save, copy, clear,
// "Matching only" and the graph move into the overflow menu, in that order.
BarRow toolbar_widgets(const Session& s, const AppState& app, const WindowLayout& layout,
                       Gfx& gfx) {
  const bool narrow = narrow_toolbar(layout);
  // A wide-only label: dropped in the narrow form, which shows the icon alone.
  const auto wide = [&](std::string label) { return narrow ? std::string() : std::move(label); };
  const auto icon_style = [&](const std::string& label) {
    return label.empty() ? WidgetStyle::icon : WidgetStyle::icon_label;
  };

  std::vector<Widget> left;
  Widget text = make(cmd::text_hex, WidgetStyle::segment, tr("텍스트", "Text"));
  text.active = !s.hex_view();
  left.push_back(std::move(text));
  Widget hex = make(cmd::text_hex, WidgetStyle::segment, "HEX");
  hex.index = 1;
  hex.active = s.hex_view();
  left.push_back(std::move(hex));
  left.push_back(make(cmd::stamp_mode, WidgetStyle::dropdown, stamp_mode_label(app.stamp_mode),
                      icons::clock,
                      tr("각 줄 앞에 보이는 시각", "The time shown before each line")));
  ranked(left.back(), 4, 7);
  left.push_back(make(cmd::search_field, WidgetStyle::field, narrow ? "160" : "220"));
  left.back().min_width = 120;
  ranked(left.back(), 2, 0);

  std::string matching_label = wide(tr("일치하는 줄만", "Matching only"));
  Widget matching = make(
      cmd::matching_only, icon_style(matching_label), std::move(matching_label), icons::funnel,
      tr("찾는 글자가 있는 줄만 보여 줍니다", "Show only lines with the text you're looking for"));
  matching.active = s.log.matching_only();
  left.push_back(std::move(matching));
  ranked(left.back(), 0, 2);
  if (!app.search_text.empty() && s.log.matching_only() && s.log.shown_count() > 0) {
    Widget count = make(cmd::none, WidgetStyle::readout,
                        fill(tr("{0}줄", "{0} lines"), {std::to_string(s.log.shown_count())}));
    count.fixed_width = std::ceil(gfx.measure_text(count.label, TextFormat::normal));
    left.push_back(std::move(count));
    ranked(left.back(), 1, 0);
  }
  std::string save_label = wide(tr("로그 저장…", "Save log…"));
  left.push_back(make(cmd::save_log, icon_style(save_label), std::move(save_label), icons::save,
                      tr("로그 저장: 시각이 붙은 텍스트 또는 CSV (Ctrl+S)",
                         "Save log: text with times, or CSV (Ctrl+S)")));
  ranked(left.back(), 0, 5);
  left.push_back(make(cmd::copy_lines, WidgetStyle::icon, "", icons::copy,
                      tr("선택한 줄 복사 (Ctrl+C)", "Copy the selected lines (Ctrl+C)")));
  ranked(left.back(), 0, 4);
  left.push_back(
      make(cmd::clear_log, WidgetStyle::icon, "", icons::trash,
           tr("지우기 (화면의 로그만 지웁니다)", "Clear (clears only the log on screen)")));
  ranked(left.back(), 0, 3);
  const size_t rules = app.lab ? app.lab->alerts().rules().size() : 0;
  std::string alert_label = rules > 0 ? std::to_string(rules) : std::string();
  Widget alerts = make(cmd::alerts, icon_style(alert_label), std::move(alert_label), icons::bell,
                       tr("알림: 값이 한계를 넘거나 줄에 어떤 글자가 있으면 알려 줍니다",
                          "Alerts: tell me when a value crosses a limit or a line contains some "
                          "text"));
  alerts.active = true;
  left.push_back(std::move(alerts));
  ranked(left.back(), 3, 6);
  left.push_back(
      make(cmd::note, WidgetStyle::icon, "", icons::flag,
           tr("로그와 CSV에 메모 추가 (Ctrl+M)", "Add a note to the log and CSV (Ctrl+M)")));
  ranked(left.back(), 0, 8);
  std::string graph_label = wide(tr("그래프", "Graph"));
  Widget graph =
      make(cmd::graph, icon_style(graph_label), std::move(graph_label), icons::graph,
           tr("각 줄의 숫자를 실시간 그래프로 그립니다", "Plot the numbers in each line live"));
  graph.active = s.lab.series.graph_shown();
  left.push_back(std::move(graph));
  ranked(left.back(), 0, 1);

  return laid_out(std::move(left), {}, layout.toolbar_row, layout, kToolbar, gfx);
}

// The send field keeps at least 160; for that, Commands and Send show their
// icons alone, then Commands, Repeat, the line ending and HEX move into the
// overflow menu, in that order.
BarRow send_bar_widgets(const Session& s, const WindowLayout& layout, Gfx& gfx) {
  std::vector<Widget> left;
  Widget field = make(cmd::send_field, WidgetStyle::field, "");
  field.expand = true;
  field.min_width = 160;
  left.push_back(std::move(field));

  // Right to left.
  std::vector<Widget> right;
  Widget send = make(cmd::send, WidgetStyle::icon_label, tr("보내기", "Send"), icons::send);
  send.primary = true;
  right.push_back(std::move(send));
  ranked(right.back(), 1, 0);
  right.push_back(make(cmd::presets, WidgetStyle::dropdown, tr("명령", "Commands"), icons::list,
                       tr("명령 프리셋: 자주 쓰는 명령을 클릭해서 보냅니다 (예: *IDN?)",
                          "Command presets: click to send ones you use often (e.g. *IDN?)")));
  ranked(right.back(), 2, 4);
  Widget repeat = make(cmd::repeat, WidgetStyle::dropdown, tr("반복", "Repeat"), {},
                       tr("입력한 내용을 정해진 간격으로 보냅니다 (계측기 폴링)",
                          "Send what you typed at a set interval (polling an instrument)"));
  repeat.active = s.repeater.running();
  right.push_back(std::move(repeat));
  ranked(right.back(), 0, 3);
  right.push_back(make(cmd::line_ending, WidgetStyle::dropdown, ending_label(s.send.ending), {},
                       tr("보낼 때 끝에 붙는 것", "What is added at the end when sending")));
  ranked(right.back(), 0, 2);
  Widget hex =
      make(cmd::hex_send, WidgetStyle::segment, "HEX", {},
           tr("HEX 바이트로 보내기 (예: 48 65 0D 0A)", "Send as hex bytes (e.g. 48 65 0D 0A)"));
  hex.active = s.send.hex_mode;
  right.push_back(std::move(hex));
  ranked(right.back(), 0, 1);

  return laid_out(std::move(left), std::move(right), layout.send_bar, layout, kSendBar, gfx);
}

}  // namespace lw
