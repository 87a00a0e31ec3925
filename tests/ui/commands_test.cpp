// Clicks and popup menus over the headless host: what each choice changes,
// the main menu's marks, the alerts popup, the log's popup, saving and the
// baud drop-down.
#include "ui/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/tab_commands.h"
#include "lang/tr.h"
#include "settings/values.h"
#include "ui/app_fixture.h"
#include "ui/dialog.h"
#include "ui/hit_test.h"
#include "ui/menus.h"

namespace lw::test {
namespace {

Point centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

// The item with this id anywhere in the menu, sub-menus included.
const MenuItem* find_item(const std::vector<MenuItem>& items, int id) {
  for (const MenuItem& i : items) {
    if (i.id == id && !i.label.empty()) return &i;
    if (const MenuItem* sub = find_item(i.items, id)) return sub;
  }
  return nullptr;
}

std::vector<std::string> labels(const std::vector<MenuItem>& items) {
  std::vector<std::string> out;
  for (const MenuItem& i : items) out.push_back(i.label);
  return out;
}

std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Commands : public AppFixture {
 protected:
  View view() { return View{app, gfx, kWidth, kHeight}; }
  void click(Hit hit, Point p = {}) { run_click(view(), hit, p); }
  void click_widget(int id, size_t index = 0) {
    const UiFrame f = frame();  // the widget lives in it
    const Widget* w = f.find(id, index);
    ASSERT_NE(w, nullptr) << id;
    click({id, index}, centre(w->rect));
  }
  // Opens the main menu answering with `id`; returns the items shown.
  std::vector<MenuItem> choose_main(std::optional<int> id) {
    host.menu_answers.push_back(id);
    click({target::menu_button, 0});
    return host.menus_shown.back();
  }
  std::vector<MenuItem> choose_widget(int command, std::optional<int> id) {
    host.menu_answers.push_back(id);
    click_widget(command);
    return host.menus_shown.back();
  }
  std::string notice() {
    return app.state().notice ? app.state().notice->notice.text : std::string();
  }
  Session& tab_with_lines() {
    Session& s = add_session("COM3");
    s.description = "Uno";
    append(s, "T=21.5", kNoon);
    append(s, "a,\"b\"", kNoon + 1);
    append(s, "ok", kNoon + 2);
    return s;
  }
};

TEST_F(Commands, MainMenuWithCutKeepUnsetChecksTheFiveMinuteItem) {
  const std::vector<MenuItem> items = choose_main(std::nullopt);
  const MenuItem* keep = nullptr;
  for (const MenuItem& i : items)
    if (i.label == "How much to keep on disconnect") keep = &i;
  ASSERT_NE(keep, nullptr);
  ASSERT_EQ(keep->items.size(), 9u);
  for (size_t i = 0; i < keep->items.size(); ++i) {
    EXPECT_EQ(keep->items[i].id, 200 + static_cast<int>(i));
    EXPECT_EQ(keep->items[i].checked, i == 2) << keep->items[i].label;
  }
  EXPECT_EQ(keep->items[2].label, "The last 5 min");
  EXPECT_EQ(keep->items[6].label, "The last 1000 lines");
  // The fixed order and ids of the top level (separators have no label);
  // "Replay a log file…" (12) follows the log folder.
  std::vector<int> ids;
  for (const MenuItem& i : items)
    if (!i.label.empty() && i.items.empty()) ids.push_back(i.id);
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 12, 10, 9, 11, 5, 6, 7, 8}));
  EXPECT_EQ(find_item(items, 2)->checked, true);   // AutoReconnect: on when unset
  EXPECT_EQ(find_item(items, 1)->checked, false);  // AutoOpen: off when unset
}

TEST_F(Commands, EachMainMenuToggleFlipsItsSetting) {
  struct Case {
    int id;
    std::string_view name;
  };
  for (const Case c :
       {Case{1, setting::kAutoOpen}, Case{2, setting::kAutoReconnect}, Case{3, setting::kCutSave},
        Case{9, setting::kLatency}, Case{5, setting::kAutoUpdate}}) {
    const bool before = flag(settings, c.name);
    choose_main(c.id);
    EXPECT_EQ(flag(settings, c.name), !before) << c.name;
    // The next menu shows the new state.
    EXPECT_EQ(find_item(choose_main(std::nullopt), c.id)->checked, !before) << c.name;
  }
}

TEST_F(Commands, CutKeepChoiceIsStoredAndChecked) {
  choose_main(207);
  EXPECT_EQ(cut_keep(settings), 10000u);
  EXPECT_TRUE(find_item(choose_main(std::nullopt), 207)->checked);
}

TEST_F(Commands, LanguageChoiceIsStoredForTheNextStart) {
  const std::vector<MenuItem> before = choose_main(102);  // 한국어
  EXPECT_TRUE(find_item(before, 100)->checked);           // "Follow Windows" while unset
  EXPECT_EQ(language_setting(settings), "ko");
  EXPECT_EQ(notice(), "Takes effect the next time Linewick opens");
  // The running program keeps its language; the menu shows the stored one.
  EXPECT_EQ(current_language(), "en");
  const std::vector<MenuItem> after = choose_main(std::nullopt);
  EXPECT_EQ(find_item(after, 8)->label, "About Linewick");
  EXPECT_TRUE(find_item(after, 102)->checked);
  EXPECT_FALSE(find_item(after, 100)->checked);
  choose_main(100);  // "Follow Windows" removes the choice
  EXPECT_EQ(language_setting(settings), "");
}

TEST_F(Commands, SharedCsvToggleStopsEveryValuesCsvWithTheNotice) {
  Session& a = add_session("COM3");
  Session& b = add_session("COM4");
  toggle_tab_values_csv(app, a);
  toggle_tab_values_csv(app, b);
  ASSERT_TRUE(a.lab.values_csv && b.lab.values_csv);
  choose_main(10);
  EXPECT_TRUE(csv_shared(settings));
  EXPECT_FALSE(a.lab.values_csv || b.lab.values_csv);
  EXPECT_EQ(notice(), "Changed how values are recorded. Turn Values CSV on again");
  // In shared mode the button turns on the one shared writer; the switch back stops it.
  click_widget(cmd::values_csv);
  EXPECT_TRUE(app.state().lab->shared_csv.has_value());
  choose_main(10);
  EXPECT_FALSE(app.state().lab->shared_csv.has_value());
  EXPECT_FALSE(csv_shared(settings));
}

TEST_F(Commands, MainMenuActions) {
  app.state().log_folder = std::filesystem::temp_directory_path() / "lw-cmd-folder";
  std::filesystem::remove_all(app.state().log_folder);
  choose_main(4);
  EXPECT_TRUE(std::filesystem::is_directory(app.state().log_folder));
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(host.opened[0], app.state().log_folder);
  choose_main(7);
  ASSERT_EQ(host.opened_urls.size(), 1u);
  EXPECT_EQ(host.opened_urls[0].rfind("https://", 0), 0u);
  EXPECT_EQ(host.opened_urls[0].find("/ko/"), std::string::npos);
  std::filesystem::remove_all(app.state().log_folder);
}

TEST_F(Commands, AlertsPopupWithoutRulesOrSeries) {
  add_session("COM3");
  const std::vector<MenuItem> items = choose_widget(cmd::alerts, std::nullopt);
  const std::vector<std::string> l = labels(items);
  EXPECT_EQ(l.front(), "#No alerts yet");
  EXPECT_NE(std::find(l.begin(), l.end(), "Add a text alert… (e.g. the line contains ERROR)"),
            l.end());
  EXPECT_EQ(l.back(), "#Value alerts can be added once lines with numbers arrive");
}

TEST_F(Commands, AlertsPopupListsTheRulesAndActsOnThem) {
  Session& s = add_session("COM3");
  const ValueList values = {{"T", 21.5}};
  s.lab.series.append_values(kNoon, values);
  ASSERT_TRUE(app.state().lab->alerts().add_text_alert("ERROR"));
  AlertBook& book = app.state().lab->alerts();

  const std::vector<MenuItem> items = choose_widget(cmd::alerts, std::nullopt);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0].label, "\"ERROR\" — fired 0 times");
  ASSERT_EQ(items[0].items.size(), 3u);
  EXPECT_TRUE(items[0].items[0].checked);
  EXPECT_TRUE(items[0].items[1].checked);
  const MenuItem& value = items.back();
  EXPECT_EQ(value.label, "Add a value alert: T is …");
  ASSERT_EQ(value.items.size(), 2u);
  EXPECT_EQ(value.items[0].label, "T goes above a limit");
  EXPECT_EQ(value.items[1].label, "T goes below a limit");

  choose_widget(cmd::alerts, items[0].items[1].id);  // "Play a sound"
  EXPECT_FALSE(book.rules()[0].play_sound);
  EXPECT_EQ(settings.get_text("Rules"), "text\tERROR\t\t1\t0");
  choose_widget(cmd::alerts, items[0].items[0].id);  // "Save the log 30 s …"
  EXPECT_FALSE(book.rules()[0].save_log_around);

  choose_widget(cmd::alerts, value.items[1].id);
  ASSERT_TRUE(ui().dialog.has_value());
  EXPECT_EQ(ui().dialog->kind, DialogKind::value_below);
  EXPECT_EQ(ui().dialog->series, 0u);
  close_dialog(app, false);

  const MenuItem* text = nullptr;
  for (const MenuItem& i : items)
    if (i.label.starts_with("Add a text alert")) text = &i;
  ASSERT_NE(text, nullptr);
  choose_widget(cmd::alerts, text->id);
  ASSERT_TRUE(ui().dialog.has_value());
  EXPECT_EQ(ui().dialog->kind, DialogKind::text_alert);
  close_dialog(app, false);

  choose_widget(cmd::alerts, items[0].items[2].id);  // "Remove this alert"
  EXPECT_TRUE(book.rules().empty());
}

TEST_F(Commands, LogPopupRunsItsFourCommands) {
  EXPECT_EQ(labels(log_menu_items(nullptr)),
            (std::vector<std::string>{"Copy (Ctrl+C)", "Select all (Ctrl+A)", "",
                                      "Save log… (Ctrl+S)", "Clear"}));
  Session& s = tab_with_lines();
  run_log_menu_choice(app, log_menu::copy);
  EXPECT_EQ(notice(), "Select lines first (click or drag)");
  EXPECT_FALSE(host.clipboard);

  run_log_menu_choice(app, log_menu::select_all);
  ASSERT_TRUE(s.log.selection());
  EXPECT_EQ(*s.log.selection(), (Selection{0, 2}));

  s.log.set_selection(Selection{2, 1});
  run_log_menu_choice(app, log_menu::copy);
  EXPECT_EQ(host.clipboard, "12:00:00.001  a,\"b\"\r\n12:00:00.002  ok");
  EXPECT_EQ(notice(), "Copied 2 lines");

  run_log_menu_choice(app, log_menu::save);  // cancelled
  EXPECT_EQ(host.save_dialogs.size(), 1u);
  EXPECT_EQ(s.log.line_count(), 3u);

  run_log_menu_choice(app, log_menu::clear);
  EXPECT_EQ(s.log.line_count(), 0u);
  EXPECT_FALSE(s.log.selection());
}

TEST_F(Commands, SaveLogWritesTextOrCsvByTypeAndExtension) {
  Session& s = tab_with_lines();
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lw-cmd-save";
  std::filesystem::remove_all(dir);
  app.state().log_folder = dir;
  struct Case {
    std::string name;
    size_t type;
    bool csv;
  };
  for (const Case& c :
       {Case{"log.txt", 0, false}, Case{"log.CSV", 0, true}, Case{"as-csv.txt", 1, true}}) {
    host.save_answers.push_back(SaveChoice{dir / c.name, c.type});
    save_log_command(app);
    const std::string text = read_file(dir / c.name);
    ASSERT_GE(text.size(), 3u) << c.name;
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << c.name;
    if (c.csv) {
      EXPECT_EQ(text.substr(3, 31), "date,time,direction,text,hex\r\n2") << c.name;
    } else {
      EXPECT_EQ(text.substr(3, 25), "# Linewick · COM3 · Uno") << c.name;
    }
    EXPECT_EQ(notice(), "Saved: " + c.name);
    ASSERT_EQ(app.state().notice->notice.actions.size(), 2u);
    EXPECT_EQ(app.state().notice->notice.actions[0].path, dir / c.name);
  }
  const SaveDialogSetup& setup = host.save_dialogs.front();
  EXPECT_EQ(setup.title, "Save log");
  ASSERT_EQ(setup.types.size(), 2u);
  EXPECT_EQ(setup.folder, dir);
  EXPECT_EQ(setup.suggested_name, "COM3-Uno-2026-11-18 120000");

  // Cancel: nothing written, nothing said.
  app.state().notice.reset();
  host.save_answers.push_back(std::nullopt);
  save_log_command(app);
  EXPECT_FALSE(app.state().notice);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            3);

  // An empty log opens no dialog.
  s.log.clear();
  const size_t dialogs = host.save_dialogs.size();
  save_log_command(app);
  EXPECT_EQ(host.save_dialogs.size(), dialogs);
  EXPECT_EQ(notice(), "There's no log to save");
  std::filesystem::remove_all(dir);
}

TEST_F(Commands, BaudDropDownChoosesAPresetAndStoresIt) {
  Session& s = add_session("COM3");
  s.device_key = "2341:0043:X1";
  click_widget(cmd::baud_presets);
  ASSERT_TRUE(ui().dropdown.has_value());
  const DropDown& d = *ui().dropdown;
  ASSERT_EQ(d.items.size(), 19u);
  EXPECT_EQ(d.items[11], "115200");
  EXPECT_EQ(d.items[17], "");
  EXPECT_EQ(d.items[18], "Custom…");
  ASSERT_EQ(d.item_rects.size(), 19u);
  paint();
  EXPECT_TRUE(shows("921600"));

  // The panel wins over what lies under it; a separator is only panel.
  const Hit item = hit_test(app, gfx, kWidth, kHeight, centre(d.item_rects[11]));
  EXPECT_EQ(item, (Hit{target::dropdown_item, 11}));
  EXPECT_EQ(hit_test(app, gfx, kWidth, kHeight, centre(d.item_rects[17])),
            (Hit{target::dropdown_panel, 0}));
  click(item, centre(d.item_rects[11]));
  EXPECT_FALSE(ui().dropdown);
  EXPECT_EQ(s.settings.baud, 115200u);
  EXPECT_EQ(settings.get_text("2341:0043:X1", kDevicesSubkey), "115200,8,N,1,1,1");
  EXPECT_EQ(settings.get_text("2341:0043", kDevicesSubkey), "115200,8,N,1,1,1");

  // Its own button closes it again; a click elsewhere closes it too.
  click_widget(cmd::baud_presets);
  EXPECT_TRUE(ui().dropdown);
  click_widget(cmd::baud_presets);
  EXPECT_FALSE(ui().dropdown);
}

TEST_F(Commands, BaudDropDownCustomLeadsToTheBaudField) {
  Session& s = add_session("COM3");
  s.settings.baud = 31250;
  click_widget(cmd::baud_presets);
  ASSERT_TRUE(ui().dropdown);
  EXPECT_EQ(ui().dropdown->items.back(), "Custom… (31250)");
  click({target::dropdown_item, 18});
  EXPECT_FALSE(ui().dropdown);
  EXPECT_EQ(ui().focus, Focus::baud);
  EXPECT_EQ(ui().baud_field.text, U"31250");
  EXPECT_EQ(ui().baud_field.selection_start(), 0u);
  EXPECT_EQ(ui().baud_field.selection_end(), 5u);
  EXPECT_EQ(s.settings.baud, 31250u);
}

TEST_F(Commands, WhileADialogIsOpenOnlyItsButtonsAreHit) {
  add_session("COM3");
  const Rect send = frame().find(cmd::send)->rect;
  open_dialog(app, DialogKind::note);
  ASSERT_TRUE(ui().dialog);
  const DialogGeometry g = dialog_geometry(gfx, kWidth, kHeight, gfx.scale());
  EXPECT_EQ(hit_test(app, gfx, kWidth, kHeight, centre(g.ok)), (Hit{target::dialog_ok, 0}));
  EXPECT_EQ(hit_test(app, gfx, kWidth, kHeight, centre(g.cancel)), (Hit{target::dialog_cancel, 0}));
  EXPECT_EQ(hit_test(app, gfx, kWidth, kHeight, centre(send)), Hit{});
  click({target::dialog_cancel, 0}, centre(g.cancel));
  EXPECT_FALSE(ui().dialog);
}

TEST_F(Commands, FrameStampAndEndingPopups) {
  Session& s = add_session("COM3");
  const std::vector<MenuItem> frame_items = choose_widget(cmd::frame_setting, std::nullopt);
  EXPECT_EQ(frame_items.front().label, "#Data bits");
  EXPECT_EQ(frame_items.back().label, "Into fixed-length frames…");
  for (const MenuItem& i : frame_items) {
    if (i.label == "Even") choose_widget(cmd::frame_setting, i.id);
  }
  EXPECT_EQ(s.settings.parity, 2);
  EXPECT_EQ(frame().find(cmd::frame_setting)->label, "8E1");
  choose_widget(cmd::frame_setting, frame_items.back().id);
  ASSERT_TRUE(ui().dialog);
  EXPECT_EQ(ui().dialog->kind, DialogKind::framing);
  close_dialog(app, false);

  const std::vector<MenuItem> stamps = choose_widget(cmd::stamp_mode, 2);
  EXPECT_TRUE(stamps[0].checked);
  EXPECT_EQ(app.state().stamp_mode, StampMode::DateAndTime);
  EXPECT_EQ(stamp_mode(settings), 1u);

  choose_widget(cmd::line_ending, 4);
  EXPECT_EQ(s.send.ending, EndingChoice::CrLf);
  EXPECT_EQ(settings.get_dword("Ending"), 3u);
}

TEST_F(Commands, PresetsPopupAddsSendsAndRemoves) {
  Session& s = add_session("COM3");
  s.send_box = "MEAS:CURR?";
  const std::vector<MenuItem> items = choose_widget(cmd::presets, std::nullopt);
  const std::vector<std::string> l = labels(items);
  EXPECT_EQ(l[0], "*IDN?");  // the defaults
  EXPECT_NE(std::find(l.begin(), l.end(), "Add to presets: MEAS:CURR?"), l.end());
  // The presets end with the hint on sequences; sending a file comes last.
  ASSERT_GE(l.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(l.end() - 4, l.end()),
            (std::vector<std::string>{"#In sequence: *RST | wait 500 | MEAS:VOLT?", "",
                                      "Send a file…", "How files are sent"}));
  for (const MenuItem& i : items)
    if (i.label.starts_with("Add to presets")) choose_widget(cmd::presets, i.id);
  EXPECT_EQ(notice(), "Added to the presets");
  EXPECT_EQ(settings.get_text("Commands"),
            "*IDN?\nMEAS:VOLT?\n*RST | wait 500 | MEAS:VOLT?\nMEAS:CURR?");
  for (const MenuItem& i : choose_widget(cmd::presets, std::nullopt))
    if (i.label == "Remove: *IDN?") choose_widget(cmd::presets, i.id);
  EXPECT_EQ(settings.get_text("Commands"), "MEAS:VOLT?\n*RST | wait 500 | MEAS:VOLT?\nMEAS:CURR?");
  // Sending one on a port that is not open says so.
  s.state.kind = ConnectionKind::Closed;
  choose_widget(cmd::presets, items[0].id);
  EXPECT_EQ(notice(), "The port isn't open");
}

TEST_F(Commands, ClicksOnTheBarsChangeTheTab) {
  Session& s = add_session("COM3");
  struct Case {
    int id;
    size_t index;
    std::function<bool()> done;
  };
  const std::vector<Case> cases = {
      {cmd::text_hex, 1, [&] { return s.hex_view(); }},
      {cmd::text_hex, 0, [&] { return !s.hex_view(); }},
      {cmd::dtr, 0, [&] { return !s.settings.dtr; }},
      {cmd::rts, 0, [&] { return !s.settings.rts; }},
      {cmd::matching_only, 0, [&] { return s.log.matching_only(); }},
      {cmd::hex_send, 0, [&] { return s.send.hex_mode; }},
      {cmd::graph, 0, [&] { return s.lab.series.graph_shown(); }},
      {cmd::graph_pause, 0, [&] { return s.lab.series.paused(); }},
      {cmd::note, 0, [&] { return ui().dialog && ui().dialog->kind == DialogKind::note; }},
  };
  for (const Case& c : cases) {
    click_widget(c.id, c.index);
    EXPECT_TRUE(c.done()) << c.id << "/" << c.index;
  }
  close_dialog(app, false);
  ui().search_field.set_utf8("err");
  app.state().search_text = "err";
  const Rect search = frame().find(cmd::search_field)->rect;
  click(hit_test(app, gfx, kWidth, kHeight, {search.right() - 6, search.y + 8}));
  EXPECT_TRUE(ui().search_field.empty());
  EXPECT_EQ(app.state().search_text, "");
  EXPECT_FALSE(s.log.matching_only());
}

TEST_F(Commands, PortRowsTabsAndTheAutoOpenRow) {
  app.state().ports = {{"COM3", "Uno", {}, {}}};
  click({target::port_row, 0});
  ASSERT_EQ(app.state().sessions.size(), 1u);
  EXPECT_EQ(app.state().sessions[0]->port_name, "COM3");
  click({target::port_row, 0});  // already open: selected, not opened twice
  EXPECT_EQ(app.state().sessions.size(), 1u);
  add_session("COM4");
  click({target::tab, 0});
  EXPECT_EQ(app.state().current, 0u);
  click({target::tab_close, 1});
  EXPECT_EQ(app.state().sessions.size(), 1u);
  click({target::auto_open, 0});
  EXPECT_TRUE(auto_open(settings));
}

}  // namespace
}  // namespace lw::test
