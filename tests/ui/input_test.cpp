// Mouse and keyboard input over the frame the painter draws: scrolling and
// following, row selection and dragging, tab keys, the search field and its
// timer, the tooltip timer and the baud field.
#include "ui/input/input.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf8.h"
#include "gfx/palette.h"
#include "ui/app_fixture.h"
#include "ui/geometry.h"
#include "ui/menus.h"

namespace lw::test {
namespace {

Point centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

class Input : public AppFixture {
 protected:
  View view() { return View{app, gfx, kWidth, kHeight}; }

  // A tab with `lines` received lines, settled at the end as a frame leaves it.
  Session& tab_with_lines(size_t lines, std::string port = "COM3") {
    Session& s = add_session(std::move(port));
    for (size_t i = 0; i < lines; ++i)
      append(s, "line " + std::to_string(i), kNoon + 10 * static_cast<Millis>(i));
    s.log.scroll_to_end(frame().rows_fit);
    return s;
  }
  // The middle of visible row `row` (counted from the top of the log).
  Point row_point(size_t row) {
    const Rect log = frame().log;
    return {log.x + 80, log.y + (static_cast<float>(row) + 0.5f) * log_row_height(1)};
  }
  double max_scroll(const Session& s) {
    return static_cast<double>(s.log.shown_count() - frame().rows_fit);
  }
  void type(std::string_view text) {
    for (char16_t u : utf16_from_utf8(text)) on_char(view(), u);
  }
  Point widget_centre(int id) { return centre(frame().find(id)->rect); }
};

TEST_F(Input, WheelAndPagesScrollTheLogAndFollowOnlyAtTheEnd) {
  Session& s = tab_with_lines(200);
  const double top = max_scroll(s);
  const double page = static_cast<double>(frame().rows_fit);
  const Point over_log = row_point(2);
  struct Case {
    const char* what;
    double from;
    int wheel;  // or, with 0, the key
    Key key;
    double scroll;
    bool follow;
  };
  const Case cases[] = {
      {"three notches up from the end", top, 360, Key::other, top - 9, false},
      {"one notch down at the end stays", top, -120, Key::other, top, true},
      {"up at the top stays at 0", 1, 240, Key::other, 0, false},
      {"back to within 0.01 of the end follows", top - 0.03, -1, Key::other, top - 0.005, true},
      {"not quite at the end", top - 0.04, -1, Key::other, top - 0.015, false},
      {"PageDown to the end follows again", top - 9, 0, Key::page_down, top, true},
      {"PageUp by a page", top, 0, Key::page_up, top - page, false},
      {"Down one line", top - 1, 0, Key::down, top, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    s.log.set_scroll(c.from);
    s.log.set_follow(false);
    if (c.wheel != 0) {
      on_wheel(view(), over_log, c.wheel);
    } else {
      EXPECT_TRUE(on_key_down(view(), c.key, {}));
    }
    EXPECT_NEAR(s.log.scroll(), c.scroll, 1e-9);
    EXPECT_EQ(s.log.follow(), c.follow);
  }
}

TEST_F(Input, TheWheelOverTheGraphZoomsItsSpanWithinLimits) {
  Session& s = tab_with_lines(5);
  s.lab.series.toggle_graph();
  const Point plot = centre(frame().graph->plot);
  s.lab.series.set_span(60'000);
  on_wheel(view(), plot, -120);
  EXPECT_EQ(s.lab.series.span_millis(), 90'000);
  for (int i = 0; i < 20; ++i) on_wheel(view(), plot, 120);
  EXPECT_EQ(s.lab.series.span_millis(), 2'000);
  EXPECT_TRUE(s.log.follow());  // the log did not move
}

TEST_F(Input, RightClickKeepsASelectionAroundTheLineAndReplacesOneElsewhere) {
  Session& s = tab_with_lines(10);
  s.log.set_selection(Selection{5, 2});
  on_right_click(view(), row_point(3));
  EXPECT_EQ(s.log.selection(), (Selection{5, 2}));
  ASSERT_EQ(host.menus_shown.size(), 1u);
  std::vector<std::string> labels;
  for (const MenuItem& item : host.menus_shown[0]) labels.push_back(item.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Copy (Ctrl+C)", "Select all (Ctrl+A)", "",
                                              "Save log… (Ctrl+S)", "Clear", "",
                                              "Let another program use the port (Ctrl+Shift+L)"}));

  on_right_click(view(), row_point(7));
  EXPECT_EQ(s.log.selection(), (Selection{7, 7}));
}

TEST_F(Input, ThePopupOpensOverAFramePaintedAsItStands) {
  // While a popup menu or message box is open nothing repaints: the frame
  // painted just before it is what the window shows meanwhile.
  Session& s = tab_with_lines(10);
  std::vector<DrawCall> shown_meanwhile;
  int menus_before_paint = -1;
  host.on_paint_now = [&] {
    menus_before_paint = static_cast<int>(host.menus_shown.size());
    paint();
    shown_meanwhile = gfx.calls();
  };
  // A tooltip is up when the row is right-clicked.
  ui().hover = {cmd::note, 0};
  ui().tooltip_shown = true;
  on_right_click(view(), row_point(4));
  ASSERT_EQ(host.menus_shown.size(), 1u);
  EXPECT_EQ(menus_before_paint, 0);  // painted before the menu opened
  EXPECT_EQ(s.log.selection(), (Selection{4, 4}));
  const Rect log = frame().log;
  const Color selected = light_palette[Pal::accent].with_opacity(0.2f);
  int rows = 0;
  bool tooltip = false;
  for (const DrawCall& c : shown_meanwhile) {
    if (c.kind == DrawKind::fill_rect && c.colour == selected) {
      EXPECT_FLOAT_EQ(c.rect.y, log.y + 4 * log_row_height(1));
      ++rows;
    }
    tooltip |= c.kind == DrawKind::text && c.text == "Add a note to the log and CSV (Ctrl+M)";
  }
  EXPECT_EQ(rows, 1);
  EXPECT_FALSE(tooltip);

  // The same before the main menu, a bar's popup and the About box.
  host.immediate_paints = 0;
  on_left_down(view(), centre(frame().layout.menu_button), {});
  on_left_down(view(), widget_centre(cmd::stamp_mode), {});
  host.menu_answers.push_back(main_menu::about);
  on_left_down(view(), centre(frame().layout.menu_button), {});
  EXPECT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.immediate_paints, 4);
}

TEST_F(Input, ShiftClickRunsFromTheSelectionsFirstLine) {
  Session& s = tab_with_lines(10);
  ui().focus = Focus::search;
  on_left_down(view(), row_point(2), {});
  on_left_up(view(), row_point(2));
  EXPECT_EQ(s.log.selection(), (Selection{2, 2}));
  EXPECT_EQ(ui().focus, Focus::none);  // the rows take the focus from a field

  on_left_down(view(), row_point(6), {.shift = true});
  on_left_up(view(), row_point(6));
  EXPECT_EQ(s.log.selection(), (Selection{2, 6}));

  s.log.set_selection(Selection{8, 4});
  on_left_down(view(), row_point(1), {.shift = true});
  on_left_up(view(), row_point(1));
  EXPECT_EQ(s.log.selection(), (Selection{4, 1}));
}

TEST_F(Input, DraggingRowsSelectsAndScrollsPastTheirEdges) {
  Session& s = tab_with_lines(100);
  const double top = max_scroll(s);
  const Rect log = frame().log;
  const auto first = static_cast<uint64_t>(top);
  on_left_down(view(), row_point(1), {});
  on_mouse_move(view(), row_point(4));
  EXPECT_EQ(s.log.selection(), (Selection{first + 1, first + 4}));

  on_mouse_move(view(), {log.x + 80, log.y - 5});
  on_mouse_move(view(), {log.x + 80, log.y - 6});
  EXPECT_DOUBLE_EQ(s.log.scroll(), top - 2);
  EXPECT_FALSE(s.log.follow());
  on_mouse_move(view(), {log.x + 80, log.bottom() + 3});
  EXPECT_DOUBLE_EQ(s.log.scroll(), top - 1);

  on_left_up(view(), {log.x + 80, log.bottom() + 3});
  EXPECT_EQ(ui().drag, Drag::none);
  on_mouse_move(view(), {log.x + 80, log.y - 5});  // no button: nothing scrolls
  EXPECT_DOUBLE_EQ(s.log.scroll(), top - 1);
}

TEST_F(Input, CtrlTabWrapsAroundTheTabs) {
  add_session("COM3");
  add_session("COM4");
  add_session("COM5");
  app.state().current = 2;
  EXPECT_TRUE(on_key_down(view(), Key::tab, {.ctrl = true}));
  EXPECT_EQ(app.state().current, 0u);
  EXPECT_TRUE(on_key_down(view(), Key::tab, {.ctrl = true, .shift = true}));
  EXPECT_EQ(app.state().current, 2u);
  EXPECT_TRUE(on_key_down(view(), Key::w, {.ctrl = true}));
  EXPECT_EQ(app.state().sessions.size(), 2u);
}

TEST_F(Input, TypingInTheSearchFieldSearchesWhenTheTimerFires) {
  tab_with_lines(3);
  on_left_down(view(), widget_centre(cmd::search_field), {});
  ASSERT_EQ(ui().focus, Focus::search);
  type(" Line 1");
  EXPECT_EQ(host.timer_period(kTimerSearch), kSearchDelayMs);
  EXPECT_EQ(app.state().search_text, "");  // not while typing

  host.stop_timer(kTimerSearch);
  type("\t");  // ignored: nothing changed, no restart
  EXPECT_FALSE(host.timer_period(kTimerSearch));
  on_key_down(view(), Key::backspace, {});
  EXPECT_EQ(host.timer_period(kTimerSearch), kSearchDelayMs);

  EXPECT_TRUE(on_window_timer(view(), kTimerSearch));
  EXPECT_EQ(app.state().search_text, "line");
  EXPECT_FALSE(host.timer_period(kTimerSearch));
  EXPECT_FALSE(on_window_timer(view(), kTimerDrain));  // not the window's
}

TEST_F(Input, EscInTheSearchFieldClearsItAndMovesTheFocus) {
  tab_with_lines(3);
  EXPECT_TRUE(on_key_down(view(), Key::f, {.ctrl = true}));
  EXPECT_EQ(ui().focus, Focus::search);
  type("line");
  on_window_timer(view(), kTimerSearch);
  EXPECT_EQ(app.state().search_text, "line");

  EXPECT_TRUE(on_key_down(view(), Key::escape, {}));
  EXPECT_TRUE(ui().search_field.text.empty());
  EXPECT_EQ(ui().focus, Focus::send);
  EXPECT_EQ(host.timer_period(kTimerSearch), kSearchDelayMs);
  on_window_timer(view(), kTimerSearch);
  EXPECT_EQ(app.state().search_text, "");

  // Ctrl+F again selects what the field holds.
  ui().search_field.set_utf8("abc");
  on_key_down(view(), Key::f, {.ctrl = true});
  EXPECT_EQ(ui().search_field.selection_start(), 0u);
  EXPECT_EQ(ui().search_field.selection_end(), 3u);
}

TEST_F(Input, TheTooltipShowsOnlyWhenTheHoverTargetStayed) {
  add_session("COM3");
  const Point dtr = widget_centre(cmd::dtr);
  const Point rts = widget_centre(cmd::rts);

  on_mouse_move(view(), dtr);
  EXPECT_EQ(host.timer_period(kTimerTooltip), kTooltipDelayMs);
  clock.mono += 400;
  on_mouse_move(view(), rts);  // a new target starts over
  clock.mono += 300;
  EXPECT_TRUE(on_window_timer(view(), kTimerTooltip));
  EXPECT_FALSE(ui().tooltip_shown);  // RTS has been hovered for 300 ms only

  clock.mono += 300;
  on_window_timer(view(), kTimerTooltip);
  EXPECT_TRUE(ui().tooltip_shown);
  EXPECT_EQ(ui().hover.target, cmd::rts);
  EXPECT_FALSE(host.timer_period(kTimerTooltip));

  on_mouse_move(view(), dtr);
  EXPECT_FALSE(ui().tooltip_shown);
  on_mouse_leave(view());
  clock.mono += 1000;
  on_window_timer(view(), kTimerTooltip);
  EXPECT_FALSE(ui().tooltip_shown);
}

TEST_F(Input, EnterInTheBaudFieldAppliesARateInRange) {
  Session& s = add_session("COM3");
  on_left_down(view(), widget_centre(cmd::baud_field), {});
  ASSERT_EQ(ui().focus, Focus::baud);
  EXPECT_EQ(utf8_from_utf32(ui().baud_field.text), "9600");

  on_key_down(view(), Key::a, {.ctrl = true});
  type("30");
  on_key_down(view(), Key::enter, {});
  EXPECT_EQ(s.settings.baud, 9600u);
  ASSERT_TRUE(app.state().notice);
  EXPECT_EQ(app.state().notice->notice.text, "Type a number from 50 to 12000000");
  EXPECT_TRUE(app.state().notice->notice.error);

  on_key_down(view(), Key::a, {.ctrl = true});
  type("115200");
  on_key_down(view(), Key::enter, {});
  EXPECT_EQ(s.settings.baud, 115200u);

  on_key_down(view(), Key::escape, {});
  EXPECT_EQ(ui().focus, Focus::send);
}

TEST_F(Input, TheSendFieldAndTheTabsSendBoxStayInStep) {
  Session& s = add_session("COM3");
  s.send.history.add_sent("first");
  s.send.history.add_sent("second");
  on_left_down(view(), widget_centre(cmd::send_field), {});
  ASSERT_EQ(ui().focus, Focus::send);
  type("ab");
  EXPECT_EQ(s.send_box, "ab");

  on_key_down(view(), Key::up, {});
  EXPECT_EQ(s.send_box, "second");
  EXPECT_EQ(utf8_from_utf32(ui().send_field(s.id).text), "second");
  on_key_down(view(), Key::up, {});
  EXPECT_EQ(s.send_box, "first");
  type("!");  // typing leaves history browsing
  EXPECT_EQ(s.send_box, "first!");
  EXPECT_FALSE(s.send.history.cursor());

  // Without a port the send fails and the box keeps its text.
  on_key_down(view(), Key::enter, {});
  EXPECT_EQ(s.send_box, "first!");
  EXPECT_EQ(utf8_from_utf32(ui().send_field(s.id).text), "first!");
}

}  // namespace
}  // namespace lw::test
