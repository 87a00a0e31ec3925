#include "ui/menus.h"

#include <array>
#include <functional>
#include <string>

#include "app/file_commands.h"
#include "app/menu_commands.h"
#include "app/tab_commands.h"
#include "files/log_folder.h"
#include "lab/alert_rules.h"
#include "lab/series.h"
#include "lang/languages.h"
#include "lang/platform_words.h"
#include "lang/tr.h"
#include "log/display.h"
#include "send/line_ending.h"
#include "send/presets.h"
#include "settings/values.h"
#include "ui/commands.h"
#include "ui/dialog.h"
#include "ui/texts.h"
#include "ui/ui_state.h"
#include "ui/widgets.h"

namespace lw {

namespace {

// A popup menu as data: each row its id (what the host answers), label,
// checked state and what choosing it does; a submenu holds its own rows. A
// label starting with "#" is a header and an empty one a separator.
struct MenuRow {
  int id = 0;
  std::string label;
  bool checked = false;
  std::function<void(App&)> action;
  std::vector<MenuRow> rows;
};
using MenuTable = std::vector<MenuRow>;

MenuRow row(int id, std::string label, bool checked, std::function<void(App&)> action) {
  return MenuRow{id, std::move(label), checked, std::move(action), {}};
}
MenuRow row(int id, std::string label, std::function<void(App&)> action) {
  return row(id, std::move(label), false, std::move(action));
}
MenuRow header(std::string label) { return MenuRow{0, "#" + label, false, {}, {}}; }
MenuRow separator() { return MenuRow{}; }
MenuRow submenu(std::string label, MenuTable rows) {
  return MenuRow{0, std::move(label), false, {}, std::move(rows)};
}

std::vector<MenuItem> items_of(const MenuTable& table) {
  std::vector<MenuItem> items;
  items.reserve(table.size());
  for (const MenuRow& r : table)
    items.push_back(MenuItem{r.id, r.label, r.checked, items_of(r.rows)});
  return items;
}

const MenuRow* find_row(const MenuTable& table, int id) {
  for (const MenuRow& r : table) {
    if (r.id == id && r.action) return &r;
    if (const MenuRow* inner = find_row(r.rows, id)) return inner;
  }
  return nullptr;
}

void run_row(const MenuTable& table, App& app, int id) {
  if (id <= 0) return;
  if (const MenuRow* r = find_row(table, id)) r->action(app);
}

// --- main menu ---

std::string cut_keep_label(uint32_t value) {
  return cut_keep_counts_lines(value)
             ? fill(tr("마지막 {0}줄", "The last {0} lines"), {std::to_string(value)})
             : fill(tr("마지막 {0}분", "The last {0} min"), {std::to_string(value)});
}

MenuTable cut_keep_rows(App& app) {
  const uint32_t keep = cut_keep(app.settings());
  MenuTable rows;
  for (size_t i = 0; i < kCutKeepChoices.size(); ++i) {
    const uint32_t choice = kCutKeepChoices[i];
    rows.push_back(row(main_menu::cut_keep_first + static_cast<int>(i), cut_keep_label(choice),
                       choice == keep, [choice](App& on) { set_cut_keep(on, choice); }));
  }
  return rows;
}

MenuTable language_rows(App& app) {
  const std::string checked = checked_language(language_setting(app.settings()));
  MenuTable rows;
  for (const LanguageMenuItem& l : language_menu()) {
    rows.push_back(row(static_cast<int>(l.id), l.label, l.code == checked,
                       [code = l.code](App& on) { store_language(on, code); }));
    if (l.code.empty()) rows.push_back(separator());
  }
  return rows;
}

MenuTable main_menu_table(App& app) {
  Settings& st = app.settings();
  const auto toggle = [](std::string_view name) {
    return [name](App& on) { toggle_setting(on, name); };
  };
  return {
      row(main_menu::auto_open, tr("새 장치를 바로 열기", "Open new devices right away"),
          lw::auto_open(st), toggle(setting::kAutoOpen)),
      row(main_menu::auto_reconnect,
          tr("같은 장치가 돌아오면 다시 연결", "Reconnect when the same device comes back"),
          lw::auto_reconnect(st), toggle(setting::kAutoReconnect)),
      row(main_menu::cut_save,
          tr("장치가 끊기면 로그 저장", "Save the log when a device disconnects"), lw::cut_save(st),
          toggle(setting::kCutSave)),
      submenu(tr("끊길 때 남길 양", "How much to keep on disconnect"), cut_keep_rows(app)),
      row(main_menu::open_log_folder,
          fill(platform_tr(PlatformText::open_log_folder),
               {folder_as_shown(app.state().log_folder)}),
          [](App& on) { lw::open_log_folder(on); }),
      row(main_menu::replay, tr("로그 파일 재생…", "Replay a log file…"),
          [](App& on) {
            before_modal(on);
            replay_log_file(on);
          }),
      separator(),
      row(main_menu::csv_shared,
          tr("값 CSV: 열린 포트 모두 한 파일에, 한 시계로",
             "Values CSV: all open ports in one file, on one clock"),
          lw::csv_shared(st), [](App& on) { toggle_csv_shared(on); }),
      row(main_menu::latency,
          tr("보낸 명령의 응답 시간 보기", "Show the reply time for sent commands"),
          show_latency(st), toggle(setting::kLatency)),
      row(main_menu::session_summary, tr("세션 요약 (이 탭)…", "Session summary (this tab)…"),
          [](App& on) { show_session_summary(on); }),
      separator(),
      submenu(language_menu_title(), language_rows(app)),
      row(main_menu::auto_update, tr("자동 업데이트", "Automatic updates"), lw::auto_update(st),
          toggle(setting::kAutoUpdate)),
      row(main_menu::check_updates, tr("업데이트 확인", "Check for updates"),
          [](App& on) { on.check_for_updates(); }),
      row(main_menu::more_apps, tr("Hollent의 다른 앱", "More apps from Hollent"),
          [](App& on) { open_maker_page(on); }),
      row(main_menu::about, tr("Linewick 정보", "About Linewick"), [](App& on) { show_about(on); }),
  };
}

// --- log rows ---

MenuTable log_menu_table(const Session* tab) {
  MenuTable rows = {
      row(log_menu::copy, tr("복사 (Ctrl+C)", "Copy (Ctrl+C)"),
          [](App& on) { copy_selected_lines(on); }),
      row(log_menu::select_all, tr("모두 선택 (Ctrl+A)", "Select all (Ctrl+A)"),
          [](App& on) { select_all_lines(on); }),
      separator(),
      row(log_menu::save, tr("로그 저장… (Ctrl+S)", "Save log… (Ctrl+S)"),
          [](App& on) { save_log_command(on); }),
      row(log_menu::clear, tr("지우기", "Clear"), [](App& on) { clear_log_command(on); })};
  if (tab != nullptr && (tab->is_open() || tab->is_waiting())) {
    rows.push_back(separator());
    rows.push_back(row(log_menu::let_go, let_go_label(*tab), [](App& on) {
      if (Session* s = on.state().current_session()) let_go_or_take_back(on, *s);
    }));
  }
  return rows;
}

// --- frame setting ---

namespace frame_id {
constexpr int data_bits = 100;  // + 5 to 8
constexpr int parity = 200;     // + 0 to 4
constexpr int stop_bits = 300;  // + 0 to 2
constexpr int line_breaks = 400;
constexpr int frames = 401;
}  // namespace frame_id

MenuTable frame_rows(Session& s) {
  MenuTable rows;
  rows.push_back(header(tr("데이터 비트", "Data bits")));
  for (uint8_t bits = 5; bits <= 8; ++bits) {
    rows.push_back(row(frame_id::data_bits + bits, std::to_string(bits),
                       s.settings.data_bits == bits,
                       [&s, bits](App& on) { set_data_bits(on, s, bits); }));
  }
  rows.push_back(separator());
  rows.push_back(header(tr("패리티", "Parity")));
  const std::array<std::string, 5> parities = {tr("없음", "None"), tr("홀수", "Odd"),
                                               tr("짝수", "Even"), tr("마크", "Mark"),
                                               tr("스페이스", "Space")};
  for (uint8_t p = 0; p < parities.size(); ++p) {
    rows.push_back(row(frame_id::parity + p, parities[p], s.settings.parity == p,
                       [&s, p](App& on) { set_parity(on, s, p); }));
  }
  rows.push_back(separator());
  rows.push_back(header(tr("정지 비트", "Stop bits")));
  const std::array<std::string_view, 3> stops = {"1", "1.5", "2"};
  for (uint8_t b = 0; b < stops.size(); ++b) {
    rows.push_back(row(frame_id::stop_bits + b, std::string(stops[b]), s.settings.stop_bits == b,
                       [&s, b](App& on) { set_stop_bits(on, s, b); }));
  }
  rows.push_back(separator());
  rows.push_back(header(tr("받은 바이트 나누기", "Split received bytes")));
  rows.push_back(row(frame_id::line_breaks, tr("줄바꿈에서 (CR, LF)", "At line breaks (CR, LF)"),
                     !s.framing, [&s](App& on) { split_at_line_breaks(on, s); }));
  rows.push_back(
      row(frame_id::frames,
          s.framing ? fill(tr("고정 길이 프레임으로… ({0})", "Into fixed-length frames… ({0})"),
                           {frame_spec_text(*s.framing)})
                    : tr("고정 길이 프레임으로…", "Into fixed-length frames…"),
          s.framing.has_value(), [](App& on) { open_dialog(on, DialogKind::framing); }));
  return rows;
}

// --- stamp mode ---

MenuTable stamp_rows(App& app) {
  const std::array<std::string, 3> labels = {
      tr("시각 (14:03:22.517)", "Time (14:03:22.517)"),
      tr("날짜와 시각 (2026-11-18 14:03:22.517)", "Date and time (2026-11-18 14:03:22.517)"),
      tr("연 이후 지난 시간 (+02:05.250)", "Time since opening (+02:05.250)")};
  MenuTable rows;
  for (uint32_t i = 0; i < labels.size(); ++i) {
    rows.push_back(row(static_cast<int>(i) + 1, labels[i],
                       static_cast<uint32_t>(app.state().stamp_mode) == i,
                       [i](App& on) { set_stamp_mode(on, stamp_mode_from_value(i)); }));
  }
  return rows;
}

// --- line ending ---

MenuTable ending_rows(Session& s) {
  MenuTable rows;
  for (uint32_t i = 0; i < 4; ++i) {
    const EndingChoice e = ending_from_index(i);
    rows.push_back(row(static_cast<int>(i) + 1, ending_name(e), s.send.ending == e,
                       [&s, e](App& on) { set_send_ending(on, s, e); }));
  }
  return rows;
}

// --- presets ---

namespace preset_id {
constexpr int add = 1;
constexpr int send_file = 2;
constexpr int stop_file = 3;
constexpr int file_as_is = 4;
constexpr int file_by_line = 5;
constexpr int file_pause = 10;  // + index in kSendFilePauses
constexpr int send = 1000;      // + index
constexpr int remove = 100000;  // + index
}  // namespace preset_id

// "Send a file…" (or stopping the one on its way) and how files are sent.
MenuTable send_file_rows(App& app, Session& s) {
  MenuTable rows;
  if (s.sending) {
    rows.push_back(row(preset_id::stop_file,
                       fill(tr("{0} 보내기 멈추기", "Stop sending {0}"), {s.sending->name}),
                       [&s](App& on) { on.stop_sending(s); }));
  } else {
    rows.push_back(row(preset_id::send_file, tr("파일 보내기…", "Send a file…"), [&s](App& on) {
      before_modal(on);
      send_file_command(on, s);
    }));
  }
  const bool by_line = send_file_by_line(app.settings());
  const uint32_t pause = send_file_pause(app.settings());
  MenuTable how;
  how.push_back(row(preset_id::file_as_is, tr("그대로", "As it is"), !by_line,
                    [](App& on) { set_send_file_by_line(on, false); }));
  how.push_back(
      row(preset_id::file_by_line,
          fill(tr("한 줄씩, 끝에 {0}", "Line by line, ending {0}"), {ending_name(s.send.ending)}),
          by_line, [](App& on) { set_send_file_by_line(on, true); }));
  how.push_back(separator());
  for (size_t i = 0; i < std::size(kSendFilePauses); ++i) {
    const uint32_t ms = kSendFilePauses[i];
    std::string label =
        ms == 0 ? tr("줄 사이에 쉬지 않음", "No pause between lines")
                : fill(tr("줄 사이 {0}ms", "{0} ms between lines"), {std::to_string(ms)});
    // The pause is for lines: grey while files go as they are.
    if (!by_line) label = "#" + label;
    how.push_back(row(preset_id::file_pause + static_cast<int>(i), std::move(label), ms == pause,
                      [ms](App& on) { set_send_file_pause(on, ms); }));
  }
  rows.push_back(submenu(tr("파일 보내는 방식", "How files are sent"), std::move(how)));
  return rows;
}

MenuTable preset_rows(App& app, Session& s) {
  const std::vector<std::string> presets = load_presets(app.settings());
  MenuTable rows;
  if (presets.empty()) rows.push_back(header(tr("프리셋이 아직 없습니다", "No presets yet")));
  for (size_t i = 0; i < presets.size(); ++i) {
    rows.push_back(row(preset_id::send + static_cast<int>(i), presets[i],
                       [&s, text = presets[i]](App& on) { on.send_preset(s, text); }));
  }
  rows.push_back(separator());
  const std::string& typed = s.send_box;
  if (typed.empty()) {
    rows.push_back(header(tr("입력한 내용을 프리셋에 추가", "Add what you typed to the presets")));
  } else {
    rows.push_back(row(preset_id::add,
                       fill(tr("프리셋에 추가: {0}", "Add to presets: {0}"), {typed}),
                       [&s](App& on) { add_command_preset(on, s.send_box); }));
  }
  if (!presets.empty()) rows.push_back(separator());
  for (size_t i = 0; i < presets.size(); ++i) {
    rows.push_back(row(preset_id::remove + static_cast<int>(i),
                       fill(tr("삭제: {0}", "Remove: {0}"), {presets[i]}),
                       [text = presets[i]](App& on) { remove_command_preset(on, text); }));
  }
  rows.push_back(separator());
  rows.push_back(header(
      tr("순서대로: *RST | wait 500 | MEAS:VOLT?", "In sequence: *RST | wait 500 | MEAS:VOLT?")));
  rows.push_back(separator());
  for (MenuRow& r : send_file_rows(app, s)) rows.push_back(std::move(r));
  return rows;
}

// --- repeat ---

struct Interval {
  uint32_t ms;
  uint32_t shown;
  int unit;  // 0 ms, 1 s, 2 min
};
constexpr std::array<Interval, 9> kIntervals = {{{100, 100, 0},
                                                 {200, 200, 0},
                                                 {500, 500, 0},
                                                 {1'000, 1, 1},
                                                 {2'000, 2, 1},
                                                 {5'000, 5, 1},
                                                 {10'000, 10, 1},
                                                 {30'000, 30, 1},
                                                 {60'000, 1, 2}}};
// 0: until stopped.
constexpr std::array<uint32_t, 4> kRepeatCounts = {0, 10, 100, 1000};

namespace repeat_id {
constexpr int stop = 1;
constexpr int first = 100;  // + interval × 10 + count
}  // namespace repeat_id

std::string interval_label(const Interval& i) {
  const std::string n = std::to_string(i.shown);
  switch (i.unit) {
    case 0:
      return fill(tr("{0}ms마다", "Every {0} ms"), {n});
    case 1:
      return fill(tr("{0}초마다", "Every {0} s"), {n});
    default:
      return fill(tr("{0}분마다", "Every {0} min"), {n});
  }
}

MenuTable repeat_rows(Session& s) {
  if (s.repeater.running()) {
    return {row(repeat_id::stop, tr("반복 보내기 멈추기", "Stop sending repeatedly"),
                [&s](App& on) { on.stop_repeat(s); })};
  }
  MenuTable rows;
  rows.push_back(header(tr("입력한 내용을 반복해서 보내기", "Send what you typed repeatedly")));
  for (size_t i = 0; i < kIntervals.size(); ++i) {
    MenuTable counts;
    for (size_t c = 0; c < kRepeatCounts.size(); ++c) {
      const uint32_t count = kRepeatCounts[c];
      counts.push_back(
          row(repeat_id::first + static_cast<int>(i * 10 + c),
              count == 0 ? tr("멈출 때까지", "Until I stop it")
                         : fill(tr("{0}번", "{0} times"), {std::to_string(count)}),
              [&s, ms = kIntervals[i].ms, count](App& on) { on.start_repeat(s, ms, count); }));
    }
    rows.push_back(submenu(interval_label(kIntervals[i]), std::move(counts)));
  }
  return rows;
}

// --- alerts ---

namespace alert_id {
constexpr int text = 1;
constexpr int rule = 1000;  // + rule × 4 + {0 save, 1 sound, 2 remove}
constexpr int value = 500;  // + series × 2 + {0 above, 1 below}; below the rules' ids
constexpr size_t kMaxValueSeries = kMaxSeries;
}  // namespace alert_id

MenuTable alert_rows(App& app, const Session& s) {
  MenuTable rows;
  const std::vector<AlertRule> none;
  const std::vector<AlertRule>& rules = app.state().lab ? app.state().lab->alerts().rules() : none;
  if (rules.empty()) rows.push_back(header(tr("알림이 아직 없습니다", "No alerts yet")));
  for (size_t i = 0; i < rules.size(); ++i) {
    const AlertRule& r = rules[i];
    const int base = alert_id::rule + static_cast<int>(i) * 4;
    rows.push_back(submenu(
        fill(tr("{0} — {1}번 울림", "{0} — fired {1} times"),
             {describe(r), std::to_string(r.fired_count)}),
        {row(base,
             tr("전후 30초 로그를 파일로 저장", "Save the log 30 s before and after to a file"),
             r.save_log_around, [i](App& on) { toggle_alert_save(on, i); }),
         row(base + 1, tr("소리 내기", "Play a sound"), r.play_sound,
             [i](App& on) { toggle_alert_sound(on, i); }),
         row(base + 2, tr("이 알림 삭제", "Remove this alert"),
             [i](App& on) { remove_alert_rule(on, i); })}));
  }
  rows.push_back(separator());
  rows.push_back(row(alert_id::text,
                     tr("텍스트 알림 추가… (예: 줄에 ERROR가 있으면)",
                        "Add a text alert… (e.g. the line contains ERROR)"),
                     [](App& on) { open_dialog(on, DialogKind::text_alert); }));
  rows.push_back(separator());
  const std::vector<Series>& series = s.lab.series.series();
  if (series.empty()) {
    rows.push_back(header(tr("숫자가 있는 줄이 들어오면 값 알림을 추가할 수 있습니다",
                             "Value alerts can be added once lines with numbers arrive")));
  }
  for (size_t j = 0; j < series.size() && j < alert_id::kMaxValueSeries; ++j) {
    const int base = alert_id::value + static_cast<int>(j) * 2;
    const std::string& name = series[j].name;
    rows.push_back(submenu(
        fill(tr("값 알림 추가: {0}이(가) …", "Add a value alert: {0} is …"), {name}),
        {row(base, fill(tr("{0}이(가) 한계보다 커질 때", "{0} goes above a limit"), {name}),
             [j](App& on) { open_dialog(on, DialogKind::value_above, j); }),
         row(base + 1, fill(tr("{0}이(가) 한계보다 작아질 때", "{0} goes below a limit"), {name}),
             [j](App& on) { open_dialog(on, DialogKind::value_below, j); })}));
  }
  return rows;
}

// --- a replay's speed ---

MenuTable speed_rows(Session& s) {
  if (!s.replay) return {};
  MenuTable rows;
  for (const ReplaySpeed speed : {ReplaySpeed::Normal, ReplaySpeed::Ten, ReplaySpeed::Fastest}) {
    rows.push_back(row(static_cast<int>(speed) + 1, replay_speed_label(speed),
                       s.replay->speed == speed,
                       [&s, speed](App& on) { on.set_replay_speed(s, speed); }));
  }
  return rows;
}

// --- graph span and statistics ---

MenuTable span_rows(Session& s) {
  MenuTable rows;
  for (size_t i = 0; i < kSpanChoices.size(); ++i) {
    const auto span = kSpanChoices[i];
    rows.push_back(row(static_cast<int>(i) + 1, span_label(span),
                       s.lab.series.span_millis() == span,
                       [&s, span](App& on) { set_graph_span(on, s, span); }));
  }
  return rows;
}

MenuTable stats_rows(Session& s) {
  const bool over_span = s.lab.series.stats_over_span();
  const auto choose = [&s](StatsChoice c) {
    return [&s, c](App& on) { set_stats_mode(on, s, c); };
  };
  return {row(1, tr("연 이후 (또는 초기화 이후)", "Since opening (or since reset)"), !over_span,
              choose(static_cast<StatsChoice>(0))),
          row(2, tr("그래프에 보이는 구간", "The span shown in the graph"), over_span,
              choose(static_cast<StatsChoice>(1))),
          row(3, tr("통계 초기화", "Reset the stats"), choose(static_cast<StatsChoice>(2)))};
}

MenuTable widget_menu_table(App& app, int command) {
  Session* s = app.state().current_session();
  if (s == nullptr) return {};
  switch (command) {
    case cmd::frame_setting:
      return frame_rows(*s);
    case cmd::stamp_mode:
      return stamp_rows(app);
    case cmd::line_ending:
      return ending_rows(*s);
    case cmd::presets:
      return preset_rows(app, *s);
    case cmd::repeat:
      return repeat_rows(*s);
    case cmd::alerts:
      return alert_rows(app, *s);
    case cmd::graph_span:
      return span_rows(*s);
    case cmd::graph_stats:
      return stats_rows(*s);
    case cmd::replay_speed:
      return speed_rows(*s);
    default:
      return {};
  }
}

}  // namespace

std::vector<MenuItem> main_menu_items(App& on) { return items_of(main_menu_table(on)); }
void run_main_menu_choice(App& app, int id) { run_row(main_menu_table(app), app, id); }

std::vector<MenuItem> log_menu_items(const Session* tab) { return items_of(log_menu_table(tab)); }
void run_log_menu_choice(App& app, int id) {
  run_row(log_menu_table(app.state().current_session()), app, id);
}

std::vector<MenuItem> widget_menu_items(App& app, int command) {
  return items_of(widget_menu_table(app, command));
}
void run_widget_menu_choice(App& app, int command, int id) {
  run_row(widget_menu_table(app, command), app, id);
}

void before_modal(App& on) {
  ui_state(on).tooltip_shown = false;
  on.host().paint_now();
}

std::optional<int> show_popup(App& app, const std::vector<MenuItem>& items, Point at) {
  before_modal(app);
  return app.host().popup_menu(items, at.x, at.y);
}

void show_main_menu(App& app, Point at) {
  const std::optional<int> id = show_popup(app, main_menu_items(app), at);
  if (id) run_main_menu_choice(app, *id);
}

void show_log_menu(App& app, Point at) {
  const std::optional<int> id = show_popup(app, log_menu_items(app.state().current_session()), at);
  if (id) run_log_menu_choice(app, *id);
}

void show_widget_menu(App& app, int command, Point at) {
  const std::vector<MenuItem> items = widget_menu_items(app, command);
  if (items.empty()) return;
  const Session* before = app.state().current_session();
  const std::optional<int> id = show_popup(app, items, at);
  // The menu was for the tab selected when it opened.
  if (id && app.state().current_session() == before) run_widget_menu_choice(app, command, *id);
}

}  // namespace lw
