// Every text the painter draws stands out from what lies under it, in both
// palettes: a contrast ratio of at least 4.5:1, or 3:1 for the large title
// text. What lies under a text is worked out from the recorded frame: the
// fills drawn before it, each over the one before, where their clips allow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/session_ops.h"
#include "ui/app_fixture.h"
#include "ui/dialog.h"

namespace lw::test {
namespace {

// WCAG 2 relative luminance and contrast, written out here so the check
// does not lean on the painter's own arithmetic.
float linear(float c) { return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f); }
float luminance(Color c) {
  return 0.2126f * linear(c.r) + 0.7152f * linear(c.g) + 0.0722f * linear(c.b);
}
float ratio(Color a, Color b) {
  const float la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05f) / (std::min(la, lb) + 0.05f);
}
Color blend(Color top, Color under) {
  const float a = top.a;
  return {top.r * a + under.r * (1 - a), top.g * a + under.g * (1 - a),
          top.b * a + under.b * (1 - a), 1};
}

// The colour at p just before calls[upto] is drawn.
Color backdrop(const std::vector<DrawCall>& calls, size_t upto, Point p) {
  Color c{1, 1, 1, 1};
  for (size_t i = 0; i < upto; ++i) {
    const DrawCall& d = calls[i];
    bool covers = false;
    switch (d.kind) {
      case DrawKind::clear:
        c = d.colour;
        continue;
      case DrawKind::fill_rect:
      case DrawKind::fill_rounded_rect:
        covers = d.rect.contains(p);
        break;
      case DrawKind::fill_circle: {
        const float dx = p.x - (d.rect.x + d.radius), dy = p.y - (d.rect.y + d.radius);
        covers = dx * dx + dy * dy <= d.radius * d.radius;
        break;
      }
      default:
        continue;
    }
    if (covers && d.clip && !d.clip->contains(p)) covers = false;
    if (covers) c = blend(d.colour, c);
  }
  return c;
}

class Contrast : public AppFixture {
 protected:
  // The lowest contrast of every text of the frame just painted, checked
  // at points along the text's glyphs.
  void check_texts(const std::string& state) {
    const std::vector<DrawCall>& calls = gfx.calls();
    size_t checked = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
      const DrawCall& c = calls[i];
      if (c.kind != DrawKind::text || c.shown.empty()) continue;
      const float w = std::min(c.rect.w, gfx.text_width(c.shown, c.format));
      const float h = gfx.line_height(c.format);
      float x0 = c.align == Align::leading  ? c.rect.x
                 : c.align == Align::centre ? c.rect.x + (c.rect.w - w) / 2
                                            : c.rect.right() - w;
      float x1 = x0 + w;
      const float y = c.rect.y + std::round((c.rect.h - h) / 2) + h / 2;
      if (c.clip) {
        x0 = std::max(x0, c.clip->x);
        x1 = std::min(x1, c.clip->right());
        if (x1 <= x0 || y < c.clip->y || y >= c.clip->bottom()) continue;  // clipped away
      }
      const float needed = c.format == TextFormat::title ? 3.0f : 4.5f;
      float lowest = 21;
      Color worst_under;
      for (int k = 0; k < 8; ++k) {
        const Point p{x0 + (x1 - x0) * (static_cast<float>(k) + 0.5f) / 8, y};
        const Color under = backdrop(calls, i, p);
        const float r = ratio(blend(c.colour, under), under);
        if (r < lowest) {
          lowest = r;
          worst_under = under;
        }
      }
      ++checked;
      EXPECT_GE(lowest, needed) << (dark ? "dark" : "light") << ", " << state << ": \"" << c.shown
                                << "\" at " << lowest << ":1 on (" << worst_under.r << ", "
                                << worst_under.g << ", " << worst_under.b << ")";
    }
    EXPECT_GT(checked, 0u) << state;
  }

  void both_palettes(const std::string& state, float width = kWidth, float height = kHeight) {
    for (const bool d : {false, true}) {
      dark = d;
      ui().dark = d;
      paint(width, height);
      check_texts(state);
    }
  }

  Session& busy_tab() {
    app.state().ports = {{"COM3", "Arduino Uno", {}, {}},
                         {"COM4", "USB-SERIAL CH340", {}, {}},
                         {"COM5", "", {}, {}},
                         {"COM7", "FTDI", {}, {}}};
    app.state().recent_arrivals = {{"COM7", clock.mono - 5'000}};
    add_session("COM4", ConnectionKind::Disconnected);
    add_session("COM5", ConnectionKind::Closed);
    Session& s = add_session("COM3");
    s.bytes_received = 1536;
    s.settings.dtr = true;
    settings.set_dword("Latency", 1);
    append(s, "Arduino ready", kNoon - 100);
    append(s, "*IDN?", kNoon, Direction::Sent);
    s.lab.replies.on_send(kNoon);
    s.lab.replies.on_received_line(s.log.end_absolute(), kNoon + 12, s.log.dropped(), settings);
    append(s, "ACME,4000 volt", kNoon + 12);
    append(s, "ERROR 7 volt", kNoon + 20);
    s.lab.alerts.alert_lines.push_back(3);
    append(s, "── Note: 12:00:01.000 volt check ──", kNoon + 1000, Direction::Mark);
    append(s, "plain", kNoon + 1100);
    s.log.set_selection(Selection{3, 4});
    app.state().search_text = "volt";
    return s;
  }

  bool dark = false;
};

TEST_F(Contrast, NoTabAndNoPorts) { both_palettes("no tab"); }

TEST_F(Contrast, PortsTabsBarsAndLogRows) {
  busy_tab();
  both_palettes("a busy tab");
  // Hovering each bar widget in turn: its hovered face.
  for (const Widget& w : frame().widgets) {
    ui().hover = {w.id, w.index};
    both_palettes("hovering widget " + std::to_string(w.id));
  }
  for (const Hit hover :
       {Hit{target::port_row, 1}, Hit{target::tab, 0}, Hit{target::auto_open, 0}}) {
    ui().hover = hover;
    both_palettes("hovering target " + std::to_string(hover.target));
  }
}

TEST_F(Contrast, NarrowWindowLostTabAndMatchesOnly) {
  Session& s = busy_tab();
  s.state = {ConnectionKind::Disconnected, kNoon, OpenFailure::Other, {}};
  s.log.set_matching_only(true, app.state().search_text, 20);
  s.log.set_follow(false);
  s.log.set_scroll(0);
  both_palettes("lost, matching only, narrow", 900, 560);
  ui().hover = {cmd::open_close, 0};
  both_palettes("lost, Reconnect hovered, narrow", 900, 560);
  ui().hover = {target::jump_to_bottom, 0};
  both_palettes("jump pill hovered", 900, 560);
}

TEST_F(Contrast, FramesAndTheirVerdicts) {
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
  both_palettes("frames");
  s.log.set_selection(Selection{0, 1});
  both_palettes("selected frames");
}

TEST_F(Contrast, TheGraphItsLegendReadoutAndPause) {
  Session& s = busy_tab();
  s.lab.series.toggle_graph();
  for (int t = 0; t < 30; ++t) {
    const ExtractedValue v[] = {{"T", 20 + t * 0.5}, {"H", 40 - t * 0.25}};
    s.lab.series.append_values(kNoon - 30'000 + t * 1000, v);
  }
  s.lab.series.toggle_series_visible(1);
  both_palettes("graph");
  const Rect plot = frame().graph->plot;
  ui().mouse = Point{plot.x + plot.w / 2, plot.y + 20};
  ui().hover = {target::plot, 0};
  both_palettes("graph hover readout");
  ui().hover = {target::legend_chip, 0};
  both_palettes("legend chip hovered");
  s.lab.series.toggle_pause(kNoon - 1000);
  both_palettes("graph paused");
}

TEST_F(Contrast, AReplayTabAndAFileBeingSent) {
  Session& s = busy_tab();
  s.replay = ReplayTab{"/tmp/night.log", ReplaySpeed::Ten, nullptr, false};
  both_palettes("replay tab");
  ui().hover = {cmd::replay_speed, 0};
  both_palettes("replay speed hovered");
  app.state().notice = ShownNotice{Notice{"Sending firmware.hex: 12 KB of 40 KB",
                                          false,
                                          {{NoticeAction::Kind::StopSending, {}, s.id}}},
                                   0, 10'000};
  ui().hover = {};
  both_palettes("file being sent");
  ui().hover = {target::notice_action, 0};
  both_palettes("Stop hovered");
}

TEST_F(Contrast, NoticesTooltipsDropDownAndDialog) {
  busy_tab();
  app.state().notice = ShownNotice{
      Notice{"Saved the log around the alert: x.txt",
             false,
             {{NoticeAction::Kind::OpenFile, {}, 0}, {NoticeAction::Kind::OpenFolder, {}, 0}}},
      0, 10'000};
  both_palettes("notice");
  ui().hover = {target::notice_action, 0};
  both_palettes("notice action hovered");
  app.state().notice = ShownNotice{
      Notice{"COM3 · Arduino Uno disconnected", true, {{NoticeAction::Kind::OpenFolder, {}, 0}}}, 0,
      10'000};
  both_palettes("error notice");
  ui().hover = {target::notice_action, 0};
  both_palettes("error notice action hovered");
  app.state().notice.reset();

  ui().hover = {cmd::note, 0};
  ui().tooltip_shown = true;
  both_palettes("tooltip");
  ui().tooltip_shown = false;

  DropDown d;
  d.owner = cmd::baud_presets;
  d.items = {"9600", "115200", "", "Custom…"};
  d.panel = {300, 140, 180, 100};
  d.item_rects = {
      {300, 144, 180, 26}, {300, 170, 180, 26}, {300, 196, 180, 9}, {300, 205, 180, 26}};
  ui().dropdown = d;
  ui().hover = {target::dropdown_item, 1};
  both_palettes("drop-down");
  ui().dropdown.reset();

  open_dialog(app, DialogKind::text_alert);
  both_palettes("dialog");
  ui().hover = {target::dialog_ok, 0};
  both_palettes("dialog OK hovered");
  ui().hover = {target::dialog_cancel, 0};
  both_palettes("dialog Cancel hovered");
}

}  // namespace
}  // namespace lw::test
