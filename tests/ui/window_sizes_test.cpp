// The window at every width it can have, in English and in every other
// language: no two widgets of a row overlap or leave it, each widget is what
// a click on it finds, and every command stays within reach.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lab/alerts.h"
#include "lang/languages.h"
#include "lang/tr.h"
#include "ui/app_fixture.h"
#include "ui/hit_test.h"

namespace lw::test {
namespace {

// From a little under the smallest window (the Windows client area inside
// the 900-wide smallest frame) to 1400.
constexpr int kNarrowest = 880;
constexpr int kWidest = 1400;
constexpr int kStep = 4;

bool intersect(const Rect& a, const Rect& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

std::string where(const Rect& r) {
  return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) +
         " x " + std::to_string(r.h) + ")";
}

class WindowSizes : public AppFixture {
 protected:
  ~WindowSizes() override { switch_language("en"); }

  // The tab in the state with the longest labels: lost (Reconnect), large
  // amounts, date and time stamps, a search with its match count, alerts,
  // recording, repeat, the graph with four series.
  void busiest_tab() {
    add_session("COM3");
    add_session("/dev/ttyUSB0");
    Session& s = add_session("COM5-FLOOD", ConnectionKind::Disconnected);
    s.bytes_received = 987'654'321;
    s.bytes_sent = 12'345'678;
    app.state().stamp_mode = StampMode::DateAndTime;
    for (int i = 0; i < 1200; ++i) append(s, "T=21.5 H=40 reading " + std::to_string(i), kNoon);
    app.state().search_text = "reading";
    s.log.set_matching_only(true, app.state().search_text, 20);
    (void)app.state().lab->alerts().add_text_alert("ERROR");
    (void)app.state().lab->alerts().add_text_alert("FAIL");
    s.send.ending = EndingChoice::CrLf;
    s.lab.series.toggle_graph();
    const char* names[] = {"Temperature", "Humidity", "Pressure", "Voltage"};
    for (int k = 0; k < 4; ++k) {
      for (int t = 0; t < 20; ++t) {
        const ExtractedValue v{names[k], 21.175 + k * 1000.3 + t * 0.125};
        s.lab.series.append_values(kNoon - 20'000 + t * 1000, std::span(&v, 1));
      }
    }
  }

  // Every check of one frame; a failure names the width and language.
  void check_frame(float width, float height, const std::string& language) {
    const UiFrame f = frame(width, height);
    const std::string at = language + " at " + std::to_string(static_cast<int>(width)) + " x " +
                           std::to_string(static_cast<int>(height));
    struct Row {
      const char* name;
      Rect rect;
      std::vector<Rect> rects;
    };
    std::vector<Row> rows = {{"settings row", f.layout.settings_row, {}},
                             {"toolbar", f.layout.toolbar_row, {}},
                             {"send bar", f.layout.send_bar, {}}};
    for (const Widget& w : f.widgets) {
      const bool graph_control =
          w.id == cmd::graph_span || w.id == cmd::graph_pause || w.id == cmd::graph_stats;
      if (graph_control) continue;
      bool placed = false;
      for (Row& row : rows) {
        if (w.rect.y >= row.rect.y && w.rect.bottom() <= row.rect.bottom()) {
          // Inside the bar, 12 in from both ends.
          EXPECT_GE(w.rect.x, row.rect.x + 12) << at << ": " << w.id << " in the " << row.name;
          EXPECT_LE(w.rect.right(), row.rect.right() - 12)
              << at << ": " << w.id << " in the " << row.name;
          row.rects.push_back(w.rect);
          placed = true;
        }
      }
      EXPECT_TRUE(placed) << at << ": widget " << w.id << " lies in no bar " << where(w.rect);
      if (w.clickable()) {
        const Point centre{w.rect.x + w.rect.w / 2, w.rect.y + w.rect.h / 2};
        EXPECT_EQ(hit_test(f, ui(), gfx, centre), (Hit{w.id, w.index}))
            << at << ": widget " << w.id << " " << where(w.rect);
      }
    }
    if (f.graph) {
      Row graph{"graph panel", f.graph->panel, {}};
      for (const Widget& w : f.graph->controls) {
        EXPECT_GE(w.rect.x, graph.rect.x) << at << ": control " << w.id;
        EXPECT_LE(w.rect.right(), graph.rect.right()) << at << ": control " << w.id;
        graph.rects.push_back(w.rect);
        const Point centre{w.rect.x + w.rect.w / 2, w.rect.y + w.rect.h / 2};
        EXPECT_EQ(hit_test(f, ui(), gfx, centre), (Hit{w.id, w.index})) << at << ": " << w.id;
      }
      for (const LegendChip& chip : f.graph->chips) {
        EXPECT_GE(chip.rect.x, graph.rect.x) << at << ": chip " << chip.series;
        EXPECT_LE(chip.rect.right(), graph.rect.right()) << at << ": chip " << chip.series;
        graph.rects.push_back(chip.rect);
        const Point centre{chip.rect.x + chip.rect.w / 2, chip.rect.y + chip.rect.h / 2};
        EXPECT_EQ(hit_test(f, ui(), gfx, centre), (Hit{target::legend_chip, chip.series}))
            << at << ": chip " << chip.series;
      }
      rows.push_back(std::move(graph));
    }
    Row tabs{"tab row", f.layout.tab_row, {}};
    for (const TabItem& t : f.tabs) {
      tabs.rects.push_back(t.rect);
      EXPECT_LE(t.rect.right(), tabs.rect.right() - 12) << at << ": tab " << t.label;
      EXPECT_EQ(hit_test(f, ui(), gfx, {t.rect.x + 12, t.rect.y + t.rect.h / 2}),
                (Hit{target::tab, t.index}))
          << at << ": tab " << t.label;
    }
    if (f.state_text) tabs.rects.push_back(*f.state_text);
    rows.push_back(std::move(tabs));

    for (const Row& row : rows) {
      for (size_t i = 0; i < row.rects.size(); ++i) {
        for (size_t j = i + 1; j < row.rects.size(); ++j) {
          EXPECT_FALSE(intersect(row.rects[i], row.rects[j]))
              << at << ": two widgets of the " << row.name << " overlap: " << where(row.rects[i])
              << " and " << where(row.rects[j]);
        }
      }
    }
  }

  void check_every_width(const std::string& language) {
    switch_language(language);
    for (int w = kNarrowest; w <= kWidest; w += kStep) {
      check_frame(static_cast<float>(w), 560, language);
      if (HasFailure()) return;  // one width's report is enough
    }
    check_frame(kWidest, 900, language);
  }
};

TEST_F(WindowSizes, BarsNeverOverlapInEnglish) {
  busiest_tab();
  check_every_width("en");
}

TEST_F(WindowSizes, BarsNeverOverlapInEveryOtherLanguage) {
  busiest_tab();
  for (const Language& l : kLanguages) {
    if (l.code != "en") check_every_width(std::string(l.code));
    if (HasFailure()) return;
  }
}

TEST_F(WindowSizes, AQuietTabNeverOverlapsEither) {
  add_session("COM3");
  for (const Language& l : kLanguages) {
    check_every_width(std::string(l.code));
    if (HasFailure()) return;
  }
}

// A replay tab has its speed where the baud would be, at its longest words.
TEST_F(WindowSizes, AReplayTabNeverOverlapsEither) {
  Session& s = add_session("night.log");
  s.replay = ReplayTab{"/tmp/night.log", ReplaySpeed::Fastest, nullptr, false};
  for (const Language& l : kLanguages) {
    check_every_width(std::string(l.code));
    if (HasFailure()) return;
    const UiFrame f = frame(kNarrowest, 560);
    EXPECT_NE(f.find(cmd::replay_speed), nullptr) << l.code;
    EXPECT_EQ(f.find(cmd::baud_field), nullptr) << l.code;
  }
}

TEST_F(WindowSizes, EveryCommandStaysWithinReach) {
  busiest_tab();
  const std::vector<std::pair<int, size_t>> commands = {
      {cmd::baud_field, 0},    {cmd::baud_presets, 0}, {cmd::frame_setting, 0},
      {cmd::dtr, 0},           {cmd::rts, 0},          {cmd::open_close, 0},
      {cmd::record, 0},        {cmd::values_csv, 0},   {cmd::text_hex, 0},
      {cmd::text_hex, 1},      {cmd::stamp_mode, 0},   {cmd::search_field, 0},
      {cmd::matching_only, 0}, {cmd::save_log, 0},     {cmd::copy_lines, 0},
      {cmd::clear_log, 0},     {cmd::alerts, 0},       {cmd::note, 0},
      {cmd::graph, 0},         {cmd::send_field, 0},   {cmd::hex_send, 0},
      {cmd::line_ending, 0},   {cmd::repeat, 0},       {cmd::presets, 0},
      {cmd::send, 0},          {cmd::graph_span, 0},   {cmd::graph_pause, 0},
      {cmd::graph_stats, 0},
  };
  for (const Language& l : kLanguages) {
    switch_language(l.code);
    for (int w = kNarrowest; w <= kWidest; w += kStep) {
      const UiFrame f = frame(static_cast<float>(w), 560);
      std::set<std::pair<int, size_t>> reachable;
      for (const Widget& widget : f.widgets) reachable.insert({widget.id, widget.index});
      size_t moved = 0;
      for (size_t bar = 0; bar < f.overflow.size(); ++bar) {
        for (const Widget& widget : f.overflow[bar]) reachable.insert({widget.id, widget.index});
        moved += f.overflow[bar].size();
        // A bar with an overflow menu shows its button.
        if (!f.overflow[bar].empty()) {
          EXPECT_NE(f.find(cmd::overflow, bar), nullptr);
        }
      }
      for (const auto& c : commands) {
        EXPECT_TRUE(reachable.contains(c)) << l.code << " at " << w << ": command " << c.first;
      }
      // In English the narrow forms are enough: nothing moves away.
      if (l.code == "en" && w >= 900) {
        EXPECT_EQ(moved, 0u) << "at " << w;
      }
      if (HasFailure()) return;
    }
  }
}

TEST_F(WindowSizes, NarrowFormsShowIconsAndNameThemInTooltips) {
  busiest_tab();
  const UiFrame wide = frame(1400, 900);
  const Widget* record = wide.find(cmd::record);
  ASSERT_NE(record, nullptr);
  EXPECT_FALSE(record->compact);
  EXPECT_EQ(record->shown_label(), "Record");

  const UiFrame narrow = frame(900, 560);
  const Widget* send = narrow.find(cmd::send);
  ASSERT_NE(send, nullptr);
  for (int id : {cmd::record, cmd::values_csv}) {
    const Widget* w = narrow.find(id);
    ASSERT_NE(w, nullptr) << id;
    EXPECT_TRUE(w->compact) << id;
    EXPECT_EQ(w->rect.w, w->rect.h) << id;  // the icon alone: square
  }
  // The amounts gave way too; the label that went is the tooltip when the
  // widget had none.
  for (const Widget& w : narrow.widgets) {
    if (w.rect.y < narrow.layout.settings_row.bottom()) {
      EXPECT_NE(w.style, WidgetStyle::readout) << w.label;
    }
  }
  if (send->compact) {
    EXPECT_EQ(tooltip_text(narrow, {cmd::send, 0}), "Send");
  }
  paint(900, 560);
  EXPECT_FALSE(shows("Record"));
  EXPECT_FALSE(shows("Values CSV"));
}

}  // namespace
}  // namespace lw::test
