#include "ui/geometry.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(WindowLayout, PortPanelIsNarrowBelowAThousandDips) {
  struct Case {
    float width_px;
    float scale;
    float panel;
  };
  for (const Case& c :
       {Case{999, 1, 236}, Case{1000, 1, 280}, Case{1499, 1.5f, 354}, Case{1500, 1.5f, 420}}) {
    const WindowLayout l = window_layout(c.width_px, 760 * c.scale, c.scale);
    EXPECT_EQ(l.panel_width, c.panel) << c.width_px << " at " << c.scale;
    EXPECT_EQ(l.port_panel.w, c.panel);
    EXPECT_EQ(l.tab_row.x, c.panel);
  }
}

TEST(WindowLayout, RegionsAtTheDefaultSize) {
  const WindowLayout l = window_layout(1180, 760, 1);
  EXPECT_EQ(l.top_bar, (Rect{0, 0, 1180, 48}));
  EXPECT_EQ(l.port_panel, (Rect{0, 48, 280, 712}));
  EXPECT_EQ(l.auto_open, (Rect{0, 716, 280, 44}));
  EXPECT_EQ(l.tab_row, (Rect{280, 48, 900, 40}));
  EXPECT_EQ(l.settings_row, (Rect{280, 88, 900, 46}));
  EXPECT_EQ(l.toolbar_row, (Rect{280, 134, 900, 46}));
  EXPECT_EQ(l.log_card, (Rect{292, 180, 876, 522}));
  EXPECT_EQ(l.send_bar, (Rect{280, 702, 900, 58}));
  EXPECT_EQ(l.menu_button, (Rect{1134, 6, 36, 36}));
}

TEST(WindowLayout, ScaledBarsAreRoundedToWholePixels) {
  // 48, 40, 46, 46 and 58 at 1.25 are 60, 50, 57.5 -> 58, 57.5 -> 58, 72.5 -> 73.
  const WindowLayout l = window_layout(1475, 950, 1.25f);
  EXPECT_EQ(l.top_bar.h, 60);
  EXPECT_EQ(l.tab_row.h, 50);
  EXPECT_EQ(l.settings_row.h, 58);
  EXPECT_EQ(l.log_card.y, 60 + 50 + 58 + 58);
  EXPECT_EQ(l.send_bar.h, 73);
  EXPECT_EQ(l.log_card.h, 950 - 73 - l.log_card.y);
}

TEST(WindowLayout, LogCardIsNeverLowerThanTen) {
  EXPECT_EQ(window_layout(1180, 200, 1).log_card.h, 10);
  EXPECT_EQ(window_layout(1180, 248, 1).log_card.h, 10);  // exactly 10 left
  EXPECT_EQ(window_layout(1180, 249, 1).log_card.h, 11);
  EXPECT_EQ(window_layout(2360, 400, 2).log_card.h, 20);
}

TEST(GraphSplit, PanelHeightBetweenItsBounds) {
  struct Case {
    float card;
    float graph;
  };
  // 0.48 x card, at least 170, at most card - 90 (the last rule wins), whole pixels.
  for (const Case& c : {Case{300, 170}, Case{200, 110}, Case{1000, 480}, Case{354.1666f, 170},
                        Case{400, 192}, Case{522, 251}, Case{60, 0}}) {
    EXPECT_FLOAT_EQ(graph_panel_height(c.card, 1), c.graph) << c.card;
  }
  EXPECT_FLOAT_EQ(graph_panel_height(600, 2), 340);  // 170 x 2 beats 0.48 x 600
}

TEST(GraphSplit, LogStartsSixBelowTheGraphAndKeepsTen) {
  const Rect card{292, 180, 876, 300};
  const CardSplit on = split_log_card(card, true, 1);
  ASSERT_TRUE(on.graph);
  EXPECT_EQ(*on.graph, (Rect{292, 180, 876, 170}));
  EXPECT_EQ(on.log, (Rect{292, 356, 876, 124}));
  const CardSplit off = split_log_card(card, false, 1);
  EXPECT_FALSE(off.graph);
  EXPECT_EQ(off.log, card);
  // 100 high: graph 10, the log from 196 keeps 84.
  const CardSplit tight = split_log_card({0, 100, 500, 100}, true, 1);
  ASSERT_TRUE(tight.graph);
  EXPECT_EQ(tight.graph->h, 10);
  EXPECT_EQ(tight.log.h, 84);
  // Too low for any graph: all of it stays log.
  EXPECT_FALSE(split_log_card({0, 100, 500, 80}, true, 1).graph);
}

TEST(PortRows, PitchAndTheAutoOpenLimit) {
  const WindowLayout l = window_layout(1180, 760, 1);
  EXPECT_EQ(port_row_rect(l, 0), (Rect{8, 90, 264, 58}));
  EXPECT_EQ(port_row_rect(l, 3), (Rect{8, 90 + 3 * 62, 264, 58}));
  // The auto-open row starts at 716: row 9 ends at 706, row 10 at 768.
  EXPECT_TRUE(port_row_shown(l, 9));
  EXPECT_FALSE(port_row_shown(l, 10));
}

TEST(LogRows, RowsThatFit) {
  EXPECT_EQ(log_row_height(1), 19);
  EXPECT_EQ(log_row_height(1.25f), 24);  // 23.75 rounded
  EXPECT_EQ(rows_that_fit({0, 0, 100, 522}, 1), 27u);
  EXPECT_EQ(rows_that_fit({0, 0, 100, 18}, 1), 1u);  // at least one
  EXPECT_EQ(rows_that_fit({0, 0, 100, 38}, 1), 2u);
}

TEST(LogRows, JumpPillAndScrollBar) {
  const Rect log{292, 180, 876, 522};
  EXPECT_EQ(jump_pill_rect(log, 98, 1), (Rect{1168 - 22 - 144, 702 - 46, 144, 34}));

  EXPECT_FALSE(scroll_bar_geometry(log, 27, 27, 0, 1));
  const auto bar = scroll_bar_geometry(log, 270, 27, 243, 1);
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->area.right(), log.right());
  EXPECT_EQ(bar->area.h, log.h);
  EXPECT_DOUBLE_EQ(bar->max_scroll, 243);
  // A tenth of the lines fit: the thumb is a tenth of the track, at its end.
  EXPECT_NEAR(bar->thumb.h, bar->track.h / 10, 0.01);
  EXPECT_FLOAT_EQ(bar->thumb.bottom(), bar->track.bottom());
  const auto top = scroll_bar_geometry(log, 270, 27, 0, 1);
  EXPECT_FLOAT_EQ(top->thumb.y, top->track.y);
}

}  // namespace
}  // namespace lw
