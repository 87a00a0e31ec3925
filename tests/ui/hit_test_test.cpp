// Hit testing and tooltips over the same frame the painter draws.
#include "ui/hit_test.h"

#include <gtest/gtest.h>

#include "lang/platform_words.h"
#include "ui/app_fixture.h"

namespace lw::test {
namespace {

Point centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

class HitTest : public AppFixture {
 protected:
  Hit at(Point p) { return hit_test(app, gfx, kWidth, kHeight, p); }
};

TEST_F(HitTest, EveryClickableWidgetIsFoundByItsId) {
  Session& s = add_session("COM3");
  s.lab.series.toggle_graph();
  const UiFrame f = frame();
  size_t clickable = 0;
  for (const Widget& w : f.widgets) {
    if (!w.clickable()) continue;
    ++clickable;
    EXPECT_EQ(at(centre(w.rect)), (Hit{w.id, w.index})) << w.id << " " << w.label;
  }
  // 7 + 2 in the settings row (Let go beside Close while the port is open), 11
  // in the toolbar, 6 in the send bar, 3 graph controls.
  EXPECT_EQ(clickable, 29u);
  // Ids do not depend on the language: the same widget answers by number.
  EXPECT_NE(f.find(cmd::graph_pause), nullptr);
  EXPECT_NE(f.find(cmd::text_hex, 1), nullptr);
}

TEST_F(HitTest, TheSearchFieldsClearZoneWhileItHoldsText) {
  add_session("COM3");
  const Rect search = frame().find(cmd::search_field)->rect;
  const Point near_right{search.right() - 10, search.y + 10};
  EXPECT_EQ(at(near_right).target, cmd::search_field);
  ui().search_field.set_utf8("err");
  EXPECT_EQ(at(near_right).target, cmd::clear_search);
  EXPECT_EQ(at({search.right() - 29, search.y + 10}).target, cmd::search_field);
  EXPECT_EQ(tooltip_text(frame(), {cmd::clear_search, 0}), "");
}

TEST_F(HitTest, RegionsOutsideTheBars) {
  app.state().ports = {{"COM3", "Uno", {}, {}}, {"COM4", "", {}, {}}};
  add_session("COM3");
  add_session("COM4");
  Session& s = *app.state().sessions[1];
  for (int i = 0; i < 500; ++i) append(s, "x", kNoon);
  s.log.set_follow(false);
  const UiFrame f = frame();
  EXPECT_EQ(at(centre(f.layout.menu_button)), (Hit{target::menu_button, 0}));
  EXPECT_EQ(at(centre(f.layout.auto_open)), (Hit{target::auto_open, 0}));
  EXPECT_EQ(at(centre(port_row_rect(f.layout, 1))), (Hit{target::port_row, 1}));
  // No third port: the entry that opens a device by path follows the second.
  EXPECT_EQ(at({100, port_row_rect(f.layout, 2).y + 10}), (Hit{target::open_by_path, 0}));
  EXPECT_EQ(at({100, port_row_rect(f.layout, 2).y + 40}), (Hit{}));
  ASSERT_EQ(f.tabs.size(), 2u);
  EXPECT_EQ(at(centre(f.tabs[1].close)), (Hit{target::tab_close, 1}));
  EXPECT_EQ(at({f.tabs[1].rect.x + 6, f.tabs[1].rect.y + 10}), (Hit{target::tab, 1}));
  ASSERT_TRUE(f.jump_pill);
  EXPECT_EQ(at(centre(*f.jump_pill)), (Hit{target::jump_to_bottom, 0}));
  ASSERT_TRUE(f.scroll_bar);
  EXPECT_EQ(at(centre(f.scroll_bar->area)), (Hit{target::scroll_bar, 0}));
  EXPECT_EQ(at({f.log.x + 50, f.log.y + 30}), (Hit{target::log_rows, 0}));
  EXPECT_EQ(at({f.layout.width - 2, f.layout.log_card.y + 20}), (Hit{}));  // the card's margin
}

TEST_F(HitTest, GraphChipsAndPlot) {
  Session& s = add_session("COM3");
  s.lab.series.toggle_graph();
  const ExtractedValue values[] = {{"T", 21.5}, {"H", 40}};
  s.lab.series.append_values(kNoon - 1000, values);
  const UiFrame f = frame();
  ASSERT_TRUE(f.graph);
  ASSERT_EQ(f.graph->chips.size(), 2u);
  EXPECT_EQ(at(centre(f.graph->chips[1].rect)), (Hit{target::legend_chip, 1}));
  EXPECT_EQ(at(centre(f.graph->plot)), (Hit{target::plot, 0}));
  EXPECT_EQ(tooltip_text(f, {target::legend_chip, 0}), f.graph->chips[0].label);
}

TEST_F(HitTest, ANoticeCoversWhatIsUnderIt) {
  Session& s = add_session("COM3");
  for (int i = 0; i < 50; ++i) append(s, "x", kNoon);
  app.state().notice = ShownNotice{
      Notice{"Saved: COM3.txt", false, {{NoticeAction::Kind::OpenFolder, {}, 0}}}, 0, 10'000};
  const UiFrame f = frame();
  ASSERT_TRUE(f.notice);
  EXPECT_EQ(at(centre(f.notice->actions[0])), (Hit{target::notice_action, 0}));
  EXPECT_EQ(at({f.notice->text.x + 4, f.notice->rect.y + 4}), (Hit{}));
}

TEST_F(HitTest, TooltipsComeFromTheWidgets) {
  app.state().log_folder = "/srv/logs/Linewick";
  Session& s = add_session("COM3");
  s.lab.series.toggle_graph();
  const UiFrame f = frame();
  struct Case {
    int id;
    const char* tooltip;
  };
  for (const Case& c : {
           Case{cmd::frame_setting, "Data bits · parity · stop bits"},
           Case{cmd::dtr, "Turning DTR on restarts (resets) an Arduino board"},
           Case{cmd::rts, "Turn the RTS signal on or off"},
           Case{cmd::record,
                kLinuxWords ? "Writes received lines to /srv/logs/Linewick (a new file each day)"
                            : "Writes received lines to Documents\\Linewick (a new file each day)"},
           Case{cmd::stamp_mode, "The time shown before each line"},
           Case{cmd::clear_log, "Clear (clears only the log on screen)"},
           Case{cmd::line_ending, "What is added at the end when sending"},
           Case{cmd::graph_span, "Time shown (use the wheel over the graph to zoom)"},
           Case{cmd::graph_stats, "Which span the current/min/max/mean/count cover"},
       }) {
    EXPECT_EQ(tooltip_text(f, {c.id, 0}), c.tooltip) << c.id;
  }
  EXPECT_EQ(tooltip_text(f, {cmd::text_hex, 0}), "");
  EXPECT_EQ(tooltip_text(f, {target::log_rows, 0}), "");
  EXPECT_EQ(hit_rect(f, {cmd::dtr, 0}), f.find(cmd::dtr)->rect);
}

}  // namespace
}  // namespace lw::test
