// Whole frames over a headless application: what each region shows.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/session_ops.h"
#include "gfx/palette.h"
#include "lang/platform_words.h"
#include "ui/app_fixture.h"

namespace lw::test {
namespace {

using Frame = AppFixture;

TEST_F(Frame, NoPortsAndNoTab) {
  app.state().log_folder = "/srv/lab logs/Linewick";
  paint();
  EXPECT_TRUE(shows("Linewick"));
  EXPECT_TRUE(shows("USB serial device log viewer"));
  // Windows keeps its words; Linux says what its users know.
  EXPECT_TRUE(shows(kLinuxWords ? "Serial ports" : "COM ports"));
  EXPECT_TRUE(shows(kLinuxWords ? "No serial ports" : "No COM ports"));
  EXPECT_TRUE(shows("Plug in a device and it shows up here"));
  EXPECT_TRUE(shows("Open new devices right away"));
  EXPECT_TRUE(shows("Plug in a device"));  // the no-tab card's title
  EXPECT_TRUE(shows("Open a device by path…"));
  for (const char* line :
       {kLinuxWords ? "Plug in an Arduino or an instrument, and the new port appears in the list "
                      "on the left."
                    : "Plug in an Arduino or an instrument, and the new COM port appears in the "
                      "list on the left.",
        "Click a port to open it; every received line gets the time.",
        kLinuxWords ? "If the device disconnects, the log right before it is saved in /srv/lab "
                      "logs/Linewick."
                    : "If the device disconnects, the log right before it is saved in "
                      "Documents\\Linewick."}) {
    EXPECT_EQ(gfx.texts(line).size(), 1u) << line;
  }
  // The entry sits under the empty list's message, inside the panel.
  const UiFrame f = frame();
  EXPECT_GT(f.open_by_path.y, port_row_rect(f.layout, 1).bottom());
  EXPECT_LE(f.open_by_path.bottom(), f.layout.auto_open.y);
  EXPECT_EQ(gfx.texts("Plug in a device")[0].format, TextFormat::title);
  // No tab, no bars.
  EXPECT_TRUE(frame().widgets.empty());
  EXPECT_EQ(gfx.calls().front().kind, DrawKind::clear);
  EXPECT_EQ(gfx.calls().back().kind, DrawKind::end_frame);
}

TEST_F(Frame, PortRowsWithBadges) {
  app.state().ports = {{"COM3", "Arduino Uno", {}, {}},
                       {"COM4", "USB-SERIAL CH340", {}, {}},
                       {"COM5", "", {}, {}},
                       {"COM7", "FTDI", {}, {}}};
  app.state().recent_arrivals = {{"COM7", clock.mono - 5'000}};
  add_session("COM3", ConnectionKind::Open);
  add_session("COM4", ConnectionKind::Disconnected);
  add_session("COM5", ConnectionKind::Closed);
  app.state().current = 0;
  paint();
  for (const char* t : {"COM3", "Arduino Uno", "USB-SERIAL CH340", "COM7", "FTDI"}) {
    EXPECT_TRUE(shows(t)) << t;
  }
  for (const char* badge : {"Connected", "Lost", "Closed", "New"}) {
    EXPECT_TRUE(shows(badge)) << badge;
  }
  EXPECT_FALSE(shows("Pick a port on the left"));
  const UiFrame f = frame();
  ASSERT_EQ(f.port_rows.size(), 4u);
  EXPECT_TRUE(f.port_rows[0].selected);
  EXPECT_EQ(f.port_rows[3].badge, PortBadge::New);
}

TEST_F(Frame, PortRowsStopAboveTheAutoOpenRow) {
  for (int i = 0; i < 30; ++i)
    app.state().ports.push_back({"COM" + std::to_string(i + 1), "", {}, {}});
  // 760 high: rows 0..9 would fit; the last gives way to the entry that
  // opens a device by path.
  const UiFrame f = frame();
  ASSERT_EQ(f.port_rows.size(), 9u);
  EXPECT_EQ(f.open_by_path.y, f.port_rows.back().rect.bottom() + 4);
  EXPECT_LE(f.open_by_path.bottom(), f.layout.auto_open.y);
  paint();
  EXPECT_TRUE(shows("COM9"));
  EXPECT_FALSE(shows("COM10"));
  EXPECT_TRUE(shows("Open a device by path…"));
  // A short list: right after its last row.
  app.state().ports.resize(2);
  EXPECT_EQ(frame().open_by_path.y, port_row_rect(f.layout, 1).bottom() + 4);
}

TEST_F(Frame, PickAPortWhenPortsExist) {
  app.state().ports = {{"COM3", "", {}, {}}};
  paint();
  EXPECT_TRUE(shows("Pick a port on the left"));
}

TEST_F(Frame, SessionStateTexts) {
  Session& s = add_session("COM3");
  struct Case {
    ConnectionState state;
    std::string text;
  };
  ConnectionState lost{ConnectionKind::Disconnected,
                       millis_from_civil({2026, 11, 18, 9, 5, 7, 42}),
                       OpenFailure::Other,
                       {}};
  const Case cases[] = {
      {{ConnectionKind::Open, 0, OpenFailure::Other, {}}, "Connected"},
      {{ConnectionKind::Closed, 0, OpenFailure::Other, {}}, "The port is closed"},
      {lost, "Disconnected at 09:05:07.042 · plug it back in to reconnect"},
      {{ConnectionKind::Failed, 0, OpenFailure::Busy, {}},
       "Another program is using this port. Close it and press 'Open'"},
      {{ConnectionKind::Failed, 0, OpenFailure::Busy, PortHolder{812, "ModemManager"}},
       "ModemManager (process 812) is using this port. Close it and press 'Open'"},
      {{ConnectionKind::Failed, 0, OpenFailure::Missing, {}},
       "The port isn't there (it may have been unplugged)"},
      {{ConnectionKind::Failed, 0, OpenFailure::Other, {}}, "Couldn't open the port"},
  };
  for (const Case& c : cases) {
    s.state = c.state;
    paint();
    EXPECT_TRUE(shows(c.text)) << c.text;
  }
  // The texts that name the device: a listed port by its device file, a
  // port the user named as typed.
  s.port_name = "ttyUSB0";
  s.info = PortInfo("ttyUSB0", "FT232R USB UART");
  s.info.node = "/dev/ttyUSB0";
  s.state = {ConnectionKind::Failed, 0, OpenFailure::Denied, {}};
  paint();
  EXPECT_TRUE(
      shows("Your account has no access to /dev/ttyUSB0. Add it to the dialout group, "
            "then log in again"));
  s.port_name = "/tmp/by-id/probe";
  s.info.name = s.port_name;
  s.info.added = true;
  s.state = {ConnectionKind::Failed, 0, OpenFailure::NotSerial, {}};
  paint();
  EXPECT_TRUE(shows("That isn't a serial device: /tmp/by-id/probe"));

  // The Open/Close button follows the state.
  s.state = lost;
  EXPECT_EQ(frame().find(cmd::open_close)->label, "Reconnect");
  s.state = {ConnectionKind::Open, 0, OpenFailure::Other, {}};
  EXPECT_EQ(frame().find(cmd::open_close)->label, "Close");
  s.state = {ConnectionKind::Closed, 0, OpenFailure::Other, {}};
  EXPECT_EQ(frame().find(cmd::open_close)->label, "Open");
}

TEST_F(Frame, PortSettingsRow) {
  Session& s = add_session("COM3");
  s.settings.baud = 115200;
  s.settings.rts = false;
  s.bytes_received = 1536;
  s.bytes_sent = 12;
  paint();
  EXPECT_TRUE(shows("115200"));  // the baud field shows the tab's rate
  EXPECT_TRUE(shows("8N1"));
  EXPECT_TRUE(shows("In"));
  EXPECT_TRUE(shows("1.5 KB"));
  EXPECT_TRUE(shows("Out"));
  EXPECT_TRUE(shows("12 B"));
  const UiFrame f = frame();
  EXPECT_TRUE(f.find(cmd::dtr)->active);
  EXPECT_FALSE(f.find(cmd::rts)->active);
  // Left to right from P + 12, the amounts 12 from the right edge.
  const Widget* baud = f.find(cmd::baud_field);
  EXPECT_EQ(baud->rect, (Rect{292, 95, 110, 32}));
  EXPECT_EQ(f.find(cmd::baud_presets)->rect.x, 292 + 110 + 6);
  const auto amounts = std::find_if(f.widgets.begin(), f.widgets.end(), [](const Widget& w) {
    return w.style == WidgetStyle::readout && w.label == "1.5 KB";
  });
  ASSERT_NE(amounts, f.widgets.end());
  EXPECT_EQ(amounts->rect.right(), 1168);
  EXPECT_LT(f.find(cmd::record)->rect.right(), amounts->rect.x);
  EXPECT_LT(f.find(cmd::values_csv)->rect.right(), f.find(cmd::record)->rect.x);
  EXPECT_EQ(f.find(cmd::baud_field)->tooltip,
            "Baud rate (must match the device, or the text comes out garbled)");
}

TEST_F(Frame, ToolbarWideAndNarrow) {
  add_session("COM3");
  // 1212 wide at P 280: 920 right of the row's left edge, the wide form.
  UiFrame f = frame(1212, 760);
  EXPECT_EQ(f.find(cmd::matching_only)->label, "Matching only");
  EXPECT_EQ(f.find(cmd::save_log)->label, "Save log…");
  EXPECT_EQ(f.find(cmd::graph)->label, "Graph");
  EXPECT_EQ(f.find(cmd::search_field)->rect.w, 220);
  f = frame(1211, 760);
  for (int id : {cmd::matching_only, cmd::save_log, cmd::graph}) {
    const Widget* w = f.find(id);
    EXPECT_EQ(w->label, "") << id;
    EXPECT_EQ(w->style, WidgetStyle::icon) << id;
    EXPECT_EQ(w->rect.w, w->rect.h) << id;
    EXPECT_FALSE(w->tooltip.empty()) << id;
  }
  EXPECT_EQ(f.find(cmd::search_field)->rect.w, 160);
  // Labels and order of the rest.
  EXPECT_EQ(f.find(cmd::text_hex, 0)->label, "Text");
  EXPECT_EQ(f.find(cmd::text_hex, 1)->label, "HEX");
  EXPECT_EQ(f.find(cmd::stamp_mode)->label, "Time");
  EXPECT_TRUE(f.find(cmd::alerts)->active);
  EXPECT_EQ(f.find(cmd::alerts)->label, "");  // no rules yet
  const int order[] = {cmd::text_hex, cmd::stamp_mode, cmd::search_field, cmd::matching_only,
                       cmd::save_log, cmd::copy_lines, cmd::clear_log,    cmd::alerts,
                       cmd::note,     cmd::graph};
  for (size_t i = 1; i < std::size(order); ++i) {
    EXPECT_LT(f.find(order[i - 1])->rect.x, f.find(order[i])->rect.x) << order[i];
  }
  app.state().stamp_mode = StampMode::SinceOpening;
  EXPECT_EQ(frame().find(cmd::stamp_mode)->label, "+00:00.000");
  app.state().stamp_mode = StampMode::DateAndTime;
  EXPECT_EQ(frame().find(cmd::stamp_mode)->label, "Date & time");
}

TEST_F(Frame, MatchCountNextToMatchingOnly) {
  Session& s = add_session("COM3");
  append(s, "Error 5", kNoon);
  append(s, "ok", kNoon);
  append(s, "error 6", kNoon);
  app.state().search_text = "err";
  s.log.set_matching_only(true, "err", 10);
  paint();
  EXPECT_TRUE(shows("2 lines"));
  const UiFrame f = frame();
  const auto count = std::find_if(f.widgets.begin(), f.widgets.end(),
                                  [](const Widget& w) { return w.label == "2 lines"; });
  ASSERT_NE(count, f.widgets.end());
  EXPECT_FALSE(count->clickable());
  EXPECT_EQ(count->rect.x, f.find(cmd::matching_only)->rect.right() + 6);
}

TEST_F(Frame, SendBar) {
  Session& s = add_session("COM3");
  paint();
  EXPECT_TRUE(shows("Text to send · Enter sends · ↑↓ earlier ones"));
  EXPECT_TRUE(shows("Ending LF"));
  EXPECT_TRUE(shows("Repeat"));
  EXPECT_TRUE(shows("Commands"));
  EXPECT_TRUE(shows("Send"));
  s.send.hex_mode = true;
  paint();
  EXPECT_TRUE(shows("Bytes to send (e.g. 48 65 6C 0D 0A) · Enter"));
  const UiFrame f = frame();
  EXPECT_TRUE(f.find(cmd::hex_send)->active);
  const Widget* field = f.find(cmd::send_field);
  EXPECT_EQ(field->rect.x, 292);
  EXPECT_EQ(field->rect.right() + 6, f.find(cmd::hex_send)->rect.x);
  EXPECT_EQ(f.find(cmd::send)->rect.right(), 1168);
  // Paint order: settings row, toolbar, send bar.
  const auto at = [&](int id) {
    return std::find_if(f.widgets.begin(), f.widgets.end(),
                        [&](const Widget& w) { return w.id == id; }) -
           f.widgets.begin();
  };
  EXPECT_LT(at(cmd::record), at(cmd::text_hex));
  EXPECT_LT(at(cmd::graph), at(cmd::send_field));
}

TEST_F(Frame, FieldTextsCaretAndSelection) {
  Session& s = add_session("COM3");
  ui().send_field(s.id).set_utf8("*IDN?");
  ui().search_field.set_utf8("volt");
  ui().search_field.anchor = 1;  // "olt" selected
  ui().focus = Focus::search;
  paint();
  EXPECT_TRUE(shows("*IDN?"));
  EXPECT_TRUE(shows("volt"));
  EXPECT_FALSE(shows("Find (Ctrl+F)"));
  const Rect search = frame().find(cmd::search_field)->rect;
  // The selection behind "olt", the caret after it, both accent-coloured.
  bool selection = false, caret = false;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_rect)) {
    if (c.colour == light_palette[Pal::accent].with_opacity(0.28f)) {
      EXPECT_FLOAT_EQ(c.rect.x, search.x + 32 + 7);
      EXPECT_FLOAT_EQ(c.rect.w, 21);
      selection = true;
    }
    if (c.colour == light_palette[Pal::accent] && c.rect.h == 16) {
      EXPECT_FLOAT_EQ(c.rect.x, search.x + 32 + 28);
      caret = true;
    }
  }
  EXPECT_TRUE(selection);
  EXPECT_TRUE(caret);
}

TEST_F(Frame, FullLogPaintsOnlyTheVisibleRows) {
  Session& s = add_session("COM3");
  for (int i = 0; i < 200'000; ++i) append(s, "T=" + std::to_string(i), kNoon + i);
  s.log.settle_scroll(app.state().visible_rows);
  paint();
  // 522 high: 27 rows, each a stamp and a text.
  EXPECT_EQ(app.state().visible_rows, 27u);
  const std::vector<DrawCall> rows = mono_texts();
  EXPECT_EQ(rows.size(), 2u * 27);
  EXPECT_EQ(rows.back().text, "T=199999");
  EXPECT_EQ(rows[1].text, "T=199973");
  EXPECT_EQ(rows[0].text, "12:03:19.973");
  ASSERT_TRUE(frame().scroll_bar);
}

TEST_F(Frame, FractionalScrollShiftsTheRows) {
  Session& s = add_session("COM3");
  for (int i = 0; i < 100; ++i) append(s, "line " + std::to_string(i), kNoon);
  s.log.set_follow(false);
  s.log.set_scroll(10.25);
  paint();
  const Rect log = frame().log;
  const std::vector<DrawCall> rows = mono_texts();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[1].text, "line 10");
  EXPECT_FLOAT_EQ(rows[1].rect.y, log.y - 0.25f * 19);
  EXPECT_EQ(rows[3].text, "line 11");
  EXPECT_FLOAT_EQ(rows[3].rect.y, log.y + 0.75f * 19);
  // Rows are drawn until one starts below the card: 28 of them here.
  EXPECT_EQ(rows.size(), 2u * 28);
  EXPECT_TRUE(shows("Jump to bottom"));
  EXPECT_TRUE(frame().jump_pill);
}

TEST_F(Frame, TimeColumnWidthFollowsTheStampMode) {
  Session& s = add_session("COM3");
  append(s, "hello", kNoon + 125'250);
  struct Case {
    StampMode mode;
    const char* stamp;
    float column;  // characters of the mode's widest stamp
  };
  for (const Case& c : {Case{StampMode::Time, "12:02:05.250", 12},
                        Case{StampMode::DateAndTime, "2026-11-18 12:02:05.250", 23},
                        Case{StampMode::SinceOpening, "+03:05.250", 12}}) {
    app.state().stamp_mode = c.mode;
    paint();
    const std::vector<DrawCall> rows = mono_texts();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, c.stamp);
    EXPECT_FLOAT_EQ(rows[1].rect.x, frame().log.x + 12 + c.column * 7 + 14) << c.stamp;
  }
}

TEST_F(Frame, RowBackgroundsSentMarksRepliesAndVerdicts) {
  Session& s = add_session("COM3");
  settings.set_dword("Latency", 1);
  append(s, "*IDN?", kNoon, Direction::Sent);
  s.lab.replies.on_send(kNoon);
  s.lab.replies.on_received_line(s.log.end_absolute(), kNoon + 12, s.log.dropped(), settings);
  append(s, "ACME,4000", kNoon + 12);
  append(s, "ERROR 7", kNoon + 20);
  s.lab.alerts.alert_lines.push_back(2);
  append(s, "── Note: 12:00:01.000 check ──", kNoon + 1000, Direction::Mark);
  s.log.set_selection(Selection{3, 1});
  paint();
  EXPECT_TRUE(shows("→"));
  EXPECT_TRUE(shows("*IDN?"));
  EXPECT_TRUE(shows("   reply 12 ms"));
  EXPECT_TRUE(shows("── Note: 12:00:01.000 check ──"));
  const Rect log = frame().log;
  const float row = 19;
  int alert = 0, selected = 0;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_rect)) {
    if (c.colour == rgb(0xEA580C).with_opacity(0.18f)) {
      EXPECT_FLOAT_EQ(c.rect.y, log.y + 2 * row);
      ++alert;
    }
    if (c.colour == light_palette[Pal::accent].with_opacity(0.2f)) ++selected;
  }
  EXPECT_EQ(alert, 1);
  EXPECT_EQ(selected, 3);  // lines 1 to 3
  // The reply time follows the text.
  const DrawCall reply = gfx.texts("   reply 12 ms")[0];
  const DrawCall text = gfx.texts("ACME,4000")[0];
  EXPECT_FLOAT_EQ(reply.rect.x, text.rect.x + 9 * 7);
}

TEST_F(Frame, FramesShowTheirVerdict) {
  Session& s = add_session("COM3");
  s.framing = FrameSpec{8, ChecksumKind::Sum, 0xAA};
  const uint8_t good[] = {0xAA, 1, 2, 3, 4, 5, 6, 0xBF};
  const uint8_t bad[] = {0xAA, 1, 2, 3, 4, 5, 6, 0xB5};
  for (auto bytes : {std::span<const uint8_t>(good), std::span<const uint8_t>(bad)}) {
    LineRecord r;
    r.bytes = Bytes(bytes);
    r.time = kNoon;
    s.append(std::move(r), "");
  }
  paint();
  EXPECT_TRUE(shows("AA 01 02 03 04 05 06 BF"));  // frames are drawn in hex
  EXPECT_TRUE(shows("   ✓"));
  EXPECT_TRUE(shows("   ✗ bad checksum"));
  EXPECT_EQ(gfx.texts("   ✗ bad checksum")[0].colour, rgb(0xDC2626));
}

TEST_F(Frame, SearchMarksSitBehindTheMatchedCharacters) {
  Session& s = add_session("COM3");
  append(s, "Volt=1 volt=2", kNoon);
  app.state().search_text = "volt";
  paint();
  const DrawCall text = gfx.texts("Volt=1 volt=2")[0];
  std::vector<Rect> marks;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_rect))
    if (c.colour == light_palette[Pal::match]) marks.push_back(c.rect);
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_FLOAT_EQ(marks[0].x, text.rect.x);
  EXPECT_FLOAT_EQ(marks[0].w, 4 * 7);
  EXPECT_FLOAT_EQ(marks[1].x, text.rect.x + 7 * 7);
  // Marks are drawn before the text.
  const auto& calls = gfx.calls();
  const auto mark_at = std::find_if(calls.begin(), calls.end(), [](const DrawCall& c) {
    return c.colour == light_palette[Pal::match];
  });
  const auto text_at = std::find_if(calls.begin(), calls.end(),
                                    [](const DrawCall& c) { return c.text == "Volt=1 volt=2"; });
  EXPECT_LT(mark_at, text_at);
}

TEST_F(Frame, EmptyLogTexts) {
  Session& s = add_session("COM3", ConnectionKind::Closed);
  paint();
  EXPECT_TRUE(shows("Received data shows up here, with the time"));
  const Rect log = frame().log;
  const DrawCall hint = gfx.texts("Received data shows up here, with the time")[0];
  EXPECT_EQ(hint.rect, (Rect{log.x, log.y + log.h / 2 - 40, log.w, 40}));
  EXPECT_EQ(hint.align, Align::centre);
  s.opened_at = kNoon;
  paint();
  EXPECT_TRUE(shows("Nothing received"));
  append(s, "abc", kNoon);
  app.state().search_text = "zzz";
  s.log.set_matching_only(true, "zzz", 10);
  paint();
  EXPECT_TRUE(shows("No lines contain that text"));
  EXPECT_FALSE(frame().jump_pill);
}

TEST_F(Frame, VisibleRowsFollowTheLogHeight) {
  Session& s = add_session("COM3");
  paint(1180, 760);
  EXPECT_EQ(app.state().visible_rows, 27u);
  s.lab.series.toggle_graph();
  paint(1180, 760);
  // Card 522: graph 251 (0.48 x 522, rounded), the log from 6 below keeps 265: 13 rows.
  EXPECT_EQ(app.state().visible_rows, 13u);
  paint(1180, 240);
  EXPECT_EQ(app.state().visible_rows, 1u);
}

TEST_F(Frame, AFollowingViewShowsTheNewestRowWholeAfterEveryAppend) {
  // 522 high: 27 rows of 19 and 9 pixels more, where a row is cut.
  Session& s = add_session("COM3");
  for (int i = 0; i < 100; ++i) append(s, "line " + std::to_string(i), kNoon + i);
  paint();
  ASSERT_TRUE(s.log.follow());
  const Rect log = frame().log;
  const auto newest_whole = [&](const std::string& text) {
    paint();
    const std::vector<DrawCall> row = gfx.texts(text);
    ASSERT_EQ(row.size(), 1u) << text;
    EXPECT_LE(row[0].rect.bottom(), log.bottom()) << text;
    EXPECT_EQ(mono_texts().back().text, text);  // nothing after it
  };
  newest_whole("line 99");
  // Marks come in outside the drain: closing the port, a note.
  (void)close_session(s, clock, app.state().search_text, 0);
  newest_whole("── Port closed 12:00:00.000 ──");
  append(s, "── Note: 12:00:00.000 look ──", kNoon, Direction::Mark);
  newest_whole("── Note: 12:00:00.000 look ──");
  // A view scrolled up stays where it is.
  s.log.set_follow(false);
  s.log.set_scroll(10);
  append(s, "after", kNoon);
  paint();
  EXPECT_EQ(s.log.scroll(), 10);
  EXPECT_FALSE(shows("after"));
}

TEST_F(Frame, TabNamesFitAsTheyAreDrawn) {
  // The selected tab's name is bold: wider than the normal one.
  for (const char* name : {"COM5-FLOOD", "COM3", "/dev/ttyUSB0"}) add_session(name);
  for (size_t current : {0u, 1u, 2u}) {
    app.state().current = current;
    paint();
    for (const char* name : {"COM5-FLOOD", "COM3", "/dev/ttyUSB0"}) {
      EXPECT_TRUE(shows(name)) << name << " with tab " << current << " selected";
    }
    const std::vector<DrawCall> selected = gfx.texts(app.state().sessions[current]->port_name);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].format, TextFormat::bold);
  }
  // Selecting another tab moves none of them.
  app.state().current = 0;
  const UiFrame first = frame();
  app.state().current = 2;
  const UiFrame last = frame();
  for (size_t i = 0; i < first.tabs.size(); ++i) EXPECT_EQ(first.tabs[i].rect, last.tabs[i].rect);
}

TEST_F(Frame, TheAutoOpenLabelTakesTwoLinesInTheNarrowPanel) {
  paint(1180, 760);
  EXPECT_TRUE(shows("Open new devices right away"));
  paint(900, 560);
  // Whole, on two lines inside the row, the first above the second.
  ASSERT_EQ(gfx.texts("Open new devices right").size(), 1u);
  ASSERT_EQ(gfx.texts("away").size(), 1u);
  const Rect row = frame(900, 560).layout.auto_open;
  const DrawCall first = gfx.texts("Open new devices right")[0];
  const DrawCall second = gfx.texts("away")[0];
  EXPECT_LT(first.rect.y, second.rect.y);
  for (const DrawCall& line : {first, second}) {
    EXPECT_GE(line.rect.y, row.y);
    EXPECT_LE(line.rect.bottom(), row.bottom());
    EXPECT_GE(line.rect.h, gfx.line_height(TextFormat::normal));
    EXPECT_LE(line.rect.right(), row.right());
  }
}

TEST_F(Frame, NoticeWithItsActions) {
  add_session("COM3");
  app.state().notice = ShownNotice{
      Notice{"Saved the log around the alert: x.txt",
             false,
             {{NoticeAction::Kind::OpenFile, {}, 0}, {NoticeAction::Kind::OpenFolder, {}, 0}}},
      0, 10'000};
  paint();
  EXPECT_TRUE(shows("Saved the log around the alert: x.txt"));
  EXPECT_TRUE(shows("Open"));
  EXPECT_TRUE(shows("Open folder"));
  const UiFrame f = frame();
  ASSERT_TRUE(f.notice);
  EXPECT_EQ(f.notice->actions.size(), 2u);
  EXPECT_LT(f.notice->actions[0].right(), f.notice->actions[1].x);
  EXPECT_LE(f.notice->rect.bottom(), f.layout.log_card.bottom());
}

TEST_F(Frame, TooltipAfterTheHoverTimer) {
  add_session("COM3");
  const UiFrame f = frame();
  const Rect note = f.find(cmd::note)->rect;
  ui().hover = {cmd::note, 0};
  paint();
  EXPECT_FALSE(shows("Add a note to the log and CSV (Ctrl+M)"));
  ui().tooltip_shown = true;
  paint();
  const std::vector<DrawCall> tip = gfx.texts("Add a note to the log and CSV (Ctrl+M)");
  ASSERT_EQ(tip.size(), 1u);
  EXPECT_GT(tip[0].rect.y, note.bottom());
  EXPECT_EQ(gfx.calls()[gfx.calls().size() - 2].text, tip[0].text);  // drawn last
}

TEST_F(Frame, DarkPaletteClearsToItsBackground) {
  ui().dark = true;
  paint();
  EXPECT_EQ(gfx.calls().front().colour, dark_palette[Pal::background]);
}

}  // namespace
}  // namespace lw::test
