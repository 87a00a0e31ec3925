#include "ui/menus.h"

#include <array>
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

MenuItem item(int id, std::string label, bool checked = false) {
  return MenuItem{id, std::move(label), checked, {}};
}
MenuItem header(std::string label) { return MenuItem{0, "#" + label, false, {}}; }
MenuItem separator() { return MenuItem{}; }
MenuItem submenu(std::string label, std::vector<MenuItem> items) {
  return MenuItem{0, std::move(label), false, std::move(items)};
}

// --- main menu ---

std::string cut_keep_label(uint32_t value) {
  return cut_keep_counts_lines(value)
             ? fill(tr("마지막 {0}줄", "The last {0} lines"), {std::to_string(value)})
             : fill(tr("마지막 {0}분", "The last {0} min"), {std::to_string(value)});
}

std::vector<MenuItem> cut_keep_items(Settings& settings) {
  const uint32_t keep = cut_keep(settings);
  std::vector<MenuItem> items;
  for (size_t i = 0; i < kCutKeepChoices.size(); ++i) {
    items.push_back(item(main_menu::cut_keep_first + static_cast<int>(i),
                         cut_keep_label(kCutKeepChoices[i]), kCutKeepChoices[i] == keep));
  }
  return items;
}

std::vector<MenuItem> language_items(Settings& settings) {
  const std::string checked = checked_language(language_setting(settings));
  std::vector<MenuItem> items;
  for (const LanguageMenuItem& l : language_menu()) {
    items.push_back(item(static_cast<int>(l.id), l.label, l.code == checked));
    if (l.code.empty()) items.push_back(separator());
  }
  return items;
}

// --- frame setting ---

namespace frame_id {
constexpr int data_bits = 100;  // + 5 to 8
constexpr int parity = 200;     // + 0 to 4
constexpr int stop_bits = 300;  // + 0 to 2
constexpr int line_breaks = 400;
constexpr int frames = 401;
}  // namespace frame_id

std::vector<MenuItem> frame_items(const Session& s) {
  std::vector<MenuItem> items;
  items.push_back(header(tr("데이터 비트", "Data bits")));
  for (int bits = 5; bits <= 8; ++bits) {
    items.push_back(
        item(frame_id::data_bits + bits, std::to_string(bits), s.settings.data_bits == bits));
  }
  items.push_back(separator());
  items.push_back(header(tr("패리티", "Parity")));
  const std::array<std::string, 5> parities = {tr("없음", "None"), tr("홀수", "Odd"),
                                               tr("짝수", "Even"), tr("마크", "Mark"),
                                               tr("스페이스", "Space")};
  for (size_t p = 0; p < parities.size(); ++p) {
    items.push_back(
        item(frame_id::parity + static_cast<int>(p), parities[p], s.settings.parity == p));
  }
  items.push_back(separator());
  items.push_back(header(tr("정지 비트", "Stop bits")));
  const std::array<std::string_view, 3> stops = {"1", "1.5", "2"};
  for (size_t b = 0; b < stops.size(); ++b) {
    items.push_back(item(frame_id::stop_bits + static_cast<int>(b), std::string(stops[b]),
                         s.settings.stop_bits == b));
  }
  items.push_back(separator());
  items.push_back(header(tr("받은 바이트 나누기", "Split received bytes")));
  items.push_back(item(frame_id::line_breaks, tr("줄바꿈에서 (CR, LF)", "At line breaks (CR, LF)"),
                       !s.framing));
  items.push_back(
      item(frame_id::frames,
           s.framing ? fill(tr("고정 길이 프레임으로… ({0})", "Into fixed-length frames… ({0})"),
                            {frame_spec_text(*s.framing)})
                     : tr("고정 길이 프레임으로…", "Into fixed-length frames…"),
           s.framing.has_value()));
  return items;
}

void run_frame(App& app, Session& s, int id) {
  if (id >= frame_id::data_bits + 5 && id <= frame_id::data_bits + 8) {
    set_data_bits(app, s, static_cast<uint8_t>(id - frame_id::data_bits));
  } else if (id >= frame_id::parity && id <= frame_id::parity + 4) {
    set_parity(app, s, static_cast<uint8_t>(id - frame_id::parity));
  } else if (id >= frame_id::stop_bits && id <= frame_id::stop_bits + 2) {
    set_stop_bits(app, s, static_cast<uint8_t>(id - frame_id::stop_bits));
  } else if (id == frame_id::line_breaks) {
    split_at_line_breaks(app, s);
  } else if (id == frame_id::frames) {
    open_dialog(app, DialogKind::framing);
  }
}

// --- stamp mode ---

std::vector<MenuItem> stamp_items(const AppState& state) {
  const std::array<std::string, 3> labels = {
      tr("시각 (14:03:22.517)", "Time (14:03:22.517)"),
      tr("날짜와 시각 (2026-11-18 14:03:22.517)", "Date and time (2026-11-18 14:03:22.517)"),
      tr("연 이후 지난 시간 (+02:05.250)", "Time since opening (+02:05.250)")};
  std::vector<MenuItem> items;
  for (size_t i = 0; i < labels.size(); ++i) {
    items.push_back(
        item(static_cast<int>(i) + 1, labels[i], static_cast<size_t>(state.stamp_mode) == i));
  }
  return items;
}

// --- line ending ---

std::vector<MenuItem> ending_items(const Session& s) {
  std::vector<MenuItem> items;
  for (uint32_t i = 0; i < 4; ++i) {
    const EndingChoice e = ending_from_index(i);
    items.push_back(item(static_cast<int>(i) + 1, ending_name(e), s.send.ending == e));
  }
  return items;
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
std::vector<MenuItem> send_file_items(App& app, const Session& s) {
  std::vector<MenuItem> items;
  if (s.sending) {
    items.push_back(item(preset_id::stop_file,
                         fill(tr("{0} 보내기 멈추기", "Stop sending {0}"), {s.sending->name})));
  } else {
    items.push_back(item(preset_id::send_file, tr("파일 보내기…", "Send a file…")));
  }
  const bool by_line = send_file_by_line(app.settings());
  const uint32_t pause = send_file_pause(app.settings());
  std::vector<MenuItem> how;
  how.push_back(item(preset_id::file_as_is, tr("그대로", "As it is"), !by_line));
  how.push_back(
      item(preset_id::file_by_line,
           fill(tr("한 줄씩, 끝에 {0}", "Line by line, ending {0}"), {ending_name(s.send.ending)}),
           by_line));
  how.push_back(separator());
  for (size_t i = 0; i < std::size(kSendFilePauses); ++i) {
    const uint32_t ms = kSendFilePauses[i];
    std::string label =
        ms == 0 ? tr("줄 사이에 쉬지 않음", "No pause between lines")
                : fill(tr("줄 사이 {0}ms", "{0} ms between lines"), {std::to_string(ms)});
    // The pause is for lines: grey while files go as they are.
    if (!by_line) label = "#" + label;
    how.push_back(item(preset_id::file_pause + static_cast<int>(i), std::move(label), ms == pause));
  }
  items.push_back(submenu(tr("파일 보내는 방식", "How files are sent"), std::move(how)));
  return items;
}

std::vector<MenuItem> preset_items(App& app, const Session& s) {
  const std::vector<std::string> presets = load_presets(app.settings());
  std::vector<MenuItem> items;
  if (presets.empty()) items.push_back(header(tr("프리셋이 아직 없습니다", "No presets yet")));
  for (size_t i = 0; i < presets.size(); ++i) {
    items.push_back(item(preset_id::send + static_cast<int>(i), presets[i]));
  }
  items.push_back(separator());
  const std::string& typed = s.send_box;
  if (typed.empty()) {
    items.push_back(header(tr("입력한 내용을 프리셋에 추가", "Add what you typed to the presets")));
  } else {
    items.push_back(
        item(preset_id::add, fill(tr("프리셋에 추가: {0}", "Add to presets: {0}"), {typed})));
  }
  if (!presets.empty()) items.push_back(separator());
  for (size_t i = 0; i < presets.size(); ++i) {
    items.push_back(item(preset_id::remove + static_cast<int>(i),
                         fill(tr("삭제: {0}", "Remove: {0}"), {presets[i]})));
  }
  items.push_back(separator());
  items.push_back(header(
      tr("순서대로: *RST | wait 500 | MEAS:VOLT?", "In sequence: *RST | wait 500 | MEAS:VOLT?")));
  items.push_back(separator());
  for (MenuItem& i : send_file_items(app, s)) items.push_back(std::move(i));
  return items;
}

void run_preset(App& app, Session& s, int id) {
  const std::vector<std::string> presets = load_presets(app.settings());
  const int pauses = static_cast<int>(std::size(kSendFilePauses));
  if (id == preset_id::add) {
    add_command_preset(app, s.send_box);
  } else if (id == preset_id::send_file) {
    before_modal(app);
    send_file_command(app, s);
  } else if (id == preset_id::stop_file) {
    app.stop_sending(s);
  } else if (id == preset_id::file_as_is || id == preset_id::file_by_line) {
    set_send_file_by_line(app, id == preset_id::file_by_line);
  } else if (id >= preset_id::file_pause && id < preset_id::file_pause + pauses) {
    set_send_file_pause(app, kSendFilePauses[static_cast<size_t>(id - preset_id::file_pause)]);
  } else if (id >= preset_id::remove) {
    const size_t i = static_cast<size_t>(id - preset_id::remove);
    if (i < presets.size()) remove_command_preset(app, presets[i]);
  } else if (id >= preset_id::send) {
    const size_t i = static_cast<size_t>(id - preset_id::send);
    if (i < presets.size()) app.send_preset(s, presets[i]);
  }
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

std::vector<MenuItem> repeat_items(const Session& s) {
  if (s.repeater.running()) {
    return {item(repeat_id::stop, tr("반복 보내기 멈추기", "Stop sending repeatedly"))};
  }
  std::vector<MenuItem> items;
  items.push_back(header(tr("입력한 내용을 반복해서 보내기", "Send what you typed repeatedly")));
  for (size_t i = 0; i < kIntervals.size(); ++i) {
    std::vector<MenuItem> counts;
    for (size_t c = 0; c < kRepeatCounts.size(); ++c) {
      const int id = repeat_id::first + static_cast<int>(i * 10 + c);
      counts.push_back(item(id, kRepeatCounts[c] == 0 ? tr("멈출 때까지", "Until I stop it")
                                                      : fill(tr("{0}번", "{0} times"),
                                                             {std::to_string(kRepeatCounts[c])})));
    }
    items.push_back(submenu(interval_label(kIntervals[i]), std::move(counts)));
  }
  return items;
}

void run_repeat(App& app, Session& s, int id) {
  if (id == repeat_id::stop) {
    app.stop_repeat(s);
    return;
  }
  const int n = id - repeat_id::first;
  if (n < 0) return;
  const size_t i = static_cast<size_t>(n / 10);
  const size_t c = static_cast<size_t>(n % 10);
  if (i >= kIntervals.size() || c >= kRepeatCounts.size()) return;
  app.start_repeat(s, kIntervals[i].ms, kRepeatCounts[c]);
}

// --- alerts ---

namespace alert_id {
constexpr int text = 1;
constexpr int rule = 1000;  // + rule × 4 + {0 save, 1 sound, 2 remove}
constexpr int value = 500;  // + series × 2 + {0 above, 1 below}; below the rules' ids
constexpr size_t kMaxValueSeries = kMaxSeries;
}  // namespace alert_id

std::vector<MenuItem> alert_items(App& app, const Session& s) {
  std::vector<MenuItem> items;
  const std::vector<AlertRule> none;
  const std::vector<AlertRule>& rules = app.state().lab ? app.state().lab->alerts().rules() : none;
  if (rules.empty()) items.push_back(header(tr("알림이 아직 없습니다", "No alerts yet")));
  for (size_t i = 0; i < rules.size(); ++i) {
    const AlertRule& r = rules[i];
    const int base = alert_id::rule + static_cast<int>(i) * 4;
    items.push_back(submenu(
        fill(tr("{0} — {1}번 울림", "{0} — fired {1} times"),
             {describe(r), std::to_string(r.fired_count)}),
        {item(base,
              tr("전후 30초 로그를 파일로 저장", "Save the log 30 s before and after to a file"),
              r.save_log_around),
         item(base + 1, tr("소리 내기", "Play a sound"), r.play_sound),
         item(base + 2, tr("이 알림 삭제", "Remove this alert"))}));
  }
  items.push_back(separator());
  items.push_back(item(alert_id::text, tr("텍스트 알림 추가… (예: 줄에 ERROR가 있으면)",
                                          "Add a text alert… (e.g. the line contains ERROR)")));
  items.push_back(separator());
  const std::vector<Series>& series = s.lab.series.series();
  if (series.empty()) {
    items.push_back(header(tr("숫자가 있는 줄이 들어오면 값 알림을 추가할 수 있습니다",
                              "Value alerts can be added once lines with numbers arrive")));
  }
  for (size_t j = 0; j < series.size() && j < alert_id::kMaxValueSeries; ++j) {
    const int base = alert_id::value + static_cast<int>(j) * 2;
    const std::string& name = series[j].name;
    items.push_back(submenu(
        fill(tr("값 알림 추가: {0}이(가) …", "Add a value alert: {0} is …"), {name}),
        {item(base, fill(tr("{0}이(가) 한계보다 커질 때", "{0} goes above a limit"), {name})),
         item(base + 1,
              fill(tr("{0}이(가) 한계보다 작아질 때", "{0} goes below a limit"), {name}))}));
  }
  return items;
}

void run_alert(App& app, Session& s, int id) {
  if (id == alert_id::text) {
    open_dialog(app, DialogKind::text_alert);
  } else if (id >= alert_id::rule) {
    const size_t rule = static_cast<size_t>((id - alert_id::rule) / 4);
    switch ((id - alert_id::rule) % 4) {
      case 0:
        toggle_alert_save(app, rule);
        break;
      case 1:
        toggle_alert_sound(app, rule);
        break;
      case 2:
        remove_alert_rule(app, rule);
        break;
      default:
        break;
    }
  } else if (id >= alert_id::value) {
    const size_t series = static_cast<size_t>((id - alert_id::value) / 2);
    if (series >= s.lab.series.series().size()) return;
    open_dialog(app,
                (id - alert_id::value) % 2 == 0 ? DialogKind::value_above : DialogKind::value_below,
                series);
  }
}

// --- a replay's speed ---

std::vector<MenuItem> speed_items(const Session& s) {
  if (!s.replay) return {};
  std::vector<MenuItem> items;
  for (const ReplaySpeed speed : {ReplaySpeed::Normal, ReplaySpeed::Ten, ReplaySpeed::Fastest}) {
    items.push_back(
        item(static_cast<int>(speed) + 1, replay_speed_label(speed), s.replay->speed == speed));
  }
  return items;
}

// --- graph span and statistics ---

std::vector<MenuItem> span_items(const Session& s) {
  std::vector<MenuItem> items;
  for (size_t i = 0; i < kSpanChoices.size(); ++i) {
    items.push_back(item(static_cast<int>(i) + 1, span_label(kSpanChoices[i]),
                         s.lab.series.span_millis() == kSpanChoices[i]));
  }
  return items;
}

std::vector<MenuItem> stats_items(const Session& s) {
  const bool over_span = s.lab.series.stats_over_span();
  return {item(1, tr("연 이후 (또는 초기화 이후)", "Since opening (or since reset)"), !over_span),
          item(2, tr("그래프에 보이는 구간", "The span shown in the graph"), over_span),
          item(3, tr("통계 초기화", "Reset the stats"))};
}

}  // namespace

std::vector<MenuItem> main_menu_items(App& app) {
  Settings& st = app.settings();
  return {
      item(main_menu::auto_open, tr("새 장치를 바로 열기", "Open new devices right away"),
           lw::auto_open(st)),
      item(main_menu::auto_reconnect,
           tr("같은 장치가 돌아오면 다시 연결", "Reconnect when the same device comes back"),
           lw::auto_reconnect(st)),
      item(main_menu::cut_save,
           tr("장치가 끊기면 로그 저장", "Save the log when a device disconnects"),
           lw::cut_save(st)),
      submenu(tr("끊길 때 남길 양", "How much to keep on disconnect"), cut_keep_items(st)),
      item(main_menu::open_log_folder, fill(platform_tr(PlatformText::open_log_folder),
                                            {folder_as_shown(app.state().log_folder)})),
      item(main_menu::replay, tr("로그 파일 재생…", "Replay a log file…")),
      separator(),
      item(main_menu::csv_shared,
           tr("값 CSV: 열린 포트 모두 한 파일에, 한 시계로",
              "Values CSV: all open ports in one file, on one clock"),
           lw::csv_shared(st)),
      item(main_menu::latency,
           tr("보낸 명령의 응답 시간 보기", "Show the reply time for sent commands"),
           show_latency(st)),
      item(main_menu::session_summary, tr("세션 요약 (이 탭)…", "Session summary (this tab)…")),
      separator(),
      submenu(language_menu_title(), language_items(st)),
      item(main_menu::auto_update, tr("자동 업데이트", "Automatic updates"), lw::auto_update(st)),
      item(main_menu::check_updates, tr("업데이트 확인", "Check for updates")),
      item(main_menu::more_apps, tr("Hollent의 다른 앱", "More apps from Hollent")),
      item(main_menu::about, tr("Linewick 정보", "About Linewick")),
  };
}

void run_main_menu_choice(App& app, int id) {
  if (id >= main_menu::cut_keep_first &&
      id < main_menu::cut_keep_first + static_cast<int>(kCutKeepChoices.size())) {
    set_cut_keep(app, kCutKeepChoices[static_cast<size_t>(id - main_menu::cut_keep_first)]);
    return;
  }
  if (id >= main_menu::language_first &&
      id <= main_menu::language_first + static_cast<int>(kLanguages.size())) {
    const std::string_view code =
        id == main_menu::language_first
            ? std::string_view()
            : kLanguages[static_cast<size_t>(id - main_menu::language_first - 1)].code;
    store_language(app, code);
    return;
  }
  switch (id) {
    case main_menu::auto_open:
      toggle_setting(app, setting::kAutoOpen);
      break;
    case main_menu::auto_reconnect:
      toggle_setting(app, setting::kAutoReconnect);
      break;
    case main_menu::cut_save:
      toggle_setting(app, setting::kCutSave);
      break;
    case main_menu::open_log_folder:
      lw::open_log_folder(app);
      break;
    case main_menu::auto_update:
      toggle_setting(app, setting::kAutoUpdate);
      break;
    case main_menu::check_updates:
      app.check_for_updates();
      break;
    case main_menu::more_apps:
      open_maker_page(app);
      break;
    case main_menu::about:
      show_about(app);
      break;
    case main_menu::latency:
      toggle_setting(app, setting::kLatency);
      break;
    case main_menu::csv_shared:
      toggle_csv_shared(app);
      break;
    case main_menu::session_summary:
      show_session_summary(app);
      break;
    case main_menu::replay:
      before_modal(app);
      replay_log_file(app);
      break;
    default:
      break;
  }
}

std::vector<MenuItem> log_menu_items(const Session* tab) {
  std::vector<MenuItem> items = {
      item(log_menu::copy, tr("복사 (Ctrl+C)", "Copy (Ctrl+C)")),
      item(log_menu::select_all, tr("모두 선택 (Ctrl+A)", "Select all (Ctrl+A)")), separator(),
      item(log_menu::save, tr("로그 저장… (Ctrl+S)", "Save log… (Ctrl+S)")),
      item(log_menu::clear, tr("지우기", "Clear"))};
  if (tab != nullptr && (tab->is_open() || tab->is_waiting())) {
    items.push_back(separator());
    items.push_back(item(log_menu::let_go, let_go_label(*tab)));
  }
  return items;
}

void run_log_menu_choice(App& app, int id) {
  switch (id) {
    case log_menu::copy:
      copy_selected_lines(app);
      break;
    case log_menu::select_all:
      select_all_lines(app);
      break;
    case log_menu::save:
      save_log_command(app);
      break;
    case log_menu::clear:
      clear_log_command(app);
      break;
    case log_menu::let_go:
      if (Session* s = app.state().current_session()) let_go_or_take_back(app, *s);
      break;
    default:
      break;
  }
}

std::vector<MenuItem> widget_menu_items(App& app, int command) {
  Session* s = app.state().current_session();
  if (s == nullptr) return {};
  switch (command) {
    case cmd::frame_setting:
      return frame_items(*s);
    case cmd::replay_speed:
      return speed_items(*s);
    case cmd::stamp_mode:
      return stamp_items(app.state());
    case cmd::line_ending:
      return ending_items(*s);
    case cmd::presets:
      return preset_items(app, *s);
    case cmd::repeat:
      return repeat_items(*s);
    case cmd::alerts:
      return alert_items(app, *s);
    case cmd::graph_span:
      return span_items(*s);
    case cmd::graph_stats:
      return stats_items(*s);
    default:
      return {};
  }
}

void run_widget_menu_choice(App& app, int command, int id) {
  Session* s = app.state().current_session();
  if (s == nullptr || id <= 0) return;
  switch (command) {
    case cmd::frame_setting:
      run_frame(app, *s, id);
      break;
    case cmd::replay_speed:
      if (id >= 1 && id <= 3) app.set_replay_speed(*s, static_cast<ReplaySpeed>(id - 1));
      break;
    case cmd::stamp_mode:
      if (id >= 1 && id <= 3)
        set_stamp_mode(app, stamp_mode_from_value(static_cast<uint32_t>(id - 1)));
      break;
    case cmd::line_ending:
      if (id >= 1 && id <= 4)
        set_send_ending(app, *s, ending_from_index(static_cast<uint32_t>(id - 1)));
      break;
    case cmd::presets:
      run_preset(app, *s, id);
      break;
    case cmd::repeat:
      run_repeat(app, *s, id);
      break;
    case cmd::alerts:
      run_alert(app, *s, id);
      break;
    case cmd::graph_span:
      if (id >= 1 && id <= static_cast<int>(kSpanChoices.size()))
        set_graph_span(app, *s, kSpanChoices[static_cast<size_t>(id - 1)]);
      break;
    case cmd::graph_stats:
      if (id >= 1 && id <= 3) set_stats_mode(app, *s, static_cast<StatsChoice>(id - 1));
      break;
    default:
      break;
  }
}

void before_modal(App& app) {
  ui_state(app).tooltip_shown = false;
  app.host().paint_now();
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
