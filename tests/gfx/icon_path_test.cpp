#include "gfx/icon_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "gfx/icons.h"

namespace lw {
namespace {

std::string num(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
  return buf;
}

// Writes every sink call as a short line of text.
class TextSink final : public PathSink {
 public:
  std::vector<std::string> calls;
  void begin_figure(Point p) override { calls.push_back("M " + num(p.x) + " " + num(p.y)); }
  void line_to(Point p) override { calls.push_back("L " + num(p.x) + " " + num(p.y)); }
  void arc_to(Point p, float r, bool clockwise, bool large) override {
    calls.push_back(std::string(clockwise ? "cw" : "ccw") + (large ? " large " : " small ") +
                    num(r) + " " + num(p.x) + " " + num(p.y));
  }
  void end_figure(bool closed) override { calls.push_back(closed ? "closed" : "open"); }
};

struct Case {
  const char* name;
  std::string path;
  std::vector<std::string> calls;
  bool ok = true;
};

class IconPath : public testing::TestWithParam<Case> {};

TEST_P(IconPath, FeedsTheFigures) {
  const Case& c = GetParam();
  TextSink sink;
  EXPECT_EQ(parse_icon_path(c.path, sink), c.ok);
  EXPECT_EQ(sink.calls, c.calls);
}

const Case cases[] = {
    // Each M ends the figure before it open.
    {"two_open_figures",
     "M 5 5 L 15 15 M 15 5 L 5 15",
     {"M 5 5", "L 15 15", "open", "M 15 5", "L 5 15", "open"}},
    {"dot", "D 3.5 5", {"M 3.5 5", "L 3.5 5.01", "open"}},
    {"arcs",
     "M 0 0 A 1 2 3 a 4 5 6 B 7 8 9 b 1.5 2.5 3.5",
     {"M 0 0", "cw small 1 2 3", "ccw small 4 5 6", "cw large 7 8 9", "ccw large 1.5 2.5 3.5",
      "open"}},
    {"circle", "C 10 10 5", {"M 5 10", "cw small 5 15 10", "cw small 5 5 10", "closed"}},
    {"rounded_rect",
     "R 3 3.5 14 13 1.5",
     {"M 4.5 3.5", "L 15.5 3.5", "cw small 1.5 17 5", "L 17 15", "cw small 1.5 15.5 16.5",
      "L 4.5 16.5", "cw small 1.5 3 15", "L 3 5", "cw small 1.5 4.5 3.5", "closed"}},
    {"close_then_new_figure",
     "M 3 4 L 17 4 L 11.5 10.5 Z M 1 1 L 2 2",
     {"M 3 4", "L 17 4", "L 11.5 10.5", "closed", "M 1 1", "L 2 2", "open"}},
    {"a_circle_ends_an_open_figure",
     "M 1 1 L 2 2 C 10 10 1",
     {"M 1 1", "L 2 2", "open", "M 9 10", "cw small 1 11 10", "cw small 1 9 10", "closed"}},
    // Operands that run past the end are 0.
    {"missing_operands", "M 1 2 L 3", {"M 1 2", "L 3 0", "open"}},
    {"missing_every_operand", "M", {"M 0 0", "open"}},
    {"rounded_rect_missing_operands",
     "R 1 1 4",
     {"M 1 1", "L 5 1", "cw small 0 5 1", "L 5 1", "cw small 0 5 1", "L 1 1", "cw small 0 1 1",
      "L 1 1", "cw small 0 1 1", "closed"}},
    // A command takes the next tokens whatever they are; a word is 0.
    {"word_as_operand", "M x 5 L 2 L", {"M 0 5", "L 2 0", "open"}},
    {"word_after_operands_skipped", "M 1 1 x L 2 2", {"M 1 1", "L 2 2", "open"}},
    {"stray_number_skipped", "M 1 1 7 L 2 2 8 9", {"M 1 1", "L 2 2", "open"}},
    {"lower_case_letters_ignored",
     "M 1 1 l 5 5 L 2 2 c 10 10 3 m 4 4 z",
     {"M 1 1", "L 2 2", "open"}},
    {"longer_words_skipped", "MM 1 1 M 2 2 Lx 3 3 LL 4 4", {"M 2 2", "open"}},
    {"non_ascii_letter_is_not_a_command", "\xEF\xBC\xAD 1 1", {}},
    {"number_forms",
     "M 1e1 +2 L .5 -3.25 L --1 nan L inf 1,5 L +-1 0x10",
     {"M 10 2", "L 0.5 -3.25", "L 0 0", "L 0 0", "L 0 0", "open"}},
    {"unicode_white_space",
     "M\t1\n2\xE3\x80\x80L\xC2\xA0 3\xE2\x80\x83 4",
     {"M 1 2", "L 3 4", "open"}},
    {"empty", "", {}},
    {"only_spaces", " \t ", {}},
    // Segments need an open figure; the back ends reject the icon otherwise.
    {"line_without_figure", "L 5 5", {}, false},
    {"close_without_figure", "M 1 1 Z Z", {"M 1 1", "closed"}, false},
    {"line_after_close", "M 1 1 L 2 2 Z L 3 3", {"M 1 1", "L 2 2", "closed"}, false},
    {"arc_without_figure", "A 1 2 2", {}, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, IconPath, testing::ValuesIn(cases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(IconPathSet, EveryProgramIconParses) {
  for (std::string_view icon : icons::all) {
    TextSink sink;
    EXPECT_TRUE(parse_icon_path(icon, sink)) << icon;
    EXPECT_FALSE(sink.calls.empty()) << icon;
  }
}

constexpr float pi = std::numbers::pi_v<float>;

struct ArcCase {
  const char* name;
  Point from, to;
  float radius;
  bool clockwise, large;
  ArcShape shape;
  Point centre;
  float r, start, end;
};

class ArcCentreCase : public testing::TestWithParam<ArcCase> {};

TEST_P(ArcCentreCase, Converts) {
  const ArcCase& c = GetParam();
  ArcCentre a;
  ASSERT_EQ(arc_centre(c.from, c.to, c.radius, c.clockwise, c.large, a), c.shape);
  if (c.shape != ArcShape::arc) return;
  EXPECT_NEAR(a.centre.x, c.centre.x, 1e-4);
  EXPECT_NEAR(a.centre.y, c.centre.y, 1e-4);
  EXPECT_NEAR(a.radius, c.r, 1e-4);
  // Angles may differ by whole turns; the sweep must not.
  EXPECT_NEAR(std::remainder(a.start - c.start, 2 * pi), 0, 1e-4);
  EXPECT_NEAR(a.end - a.start, c.end - c.start, 1e-4);
}

const ArcCase arc_cases[] = {
    // y grows downwards, so a clockwise half circle from left to right goes over the top.
    {"half_circle_clockwise",
     {0, 0},
     {10, 0},
     5,
     true,
     false,
     ArcShape::arc,
     {5, 0},
     5,
     pi,
     2 * pi},
    {"half_circle_counter", {0, 0}, {10, 0}, 5, false, false, ArcShape::arc, {5, 0}, 5, pi, 0},
    {"quarter_small_clockwise",
     {0, 0},
     {10, 10},
     10,
     true,
     false,
     ArcShape::arc,
     {0, 10},
     10,
     -pi / 2,
     0},
    {"quarter_large_clockwise",
     {0, 0},
     {10, 10},
     10,
     true,
     true,
     ArcShape::arc,
     {10, 0},
     10,
     pi,
     pi + 3 * pi / 2},
    {"quarter_small_counter",
     {0, 0},
     {10, 10},
     10,
     false,
     false,
     ArcShape::arc,
     {10, 0},
     10,
     pi,
     pi / 2},
    {"quarter_large_counter",
     {0, 0},
     {10, 10},
     10,
     false,
     true,
     ArcShape::arc,
     {0, 10},
     10,
     -pi / 2,
     -2 * pi},
    // Too small a radius grows to half the chord.
    {"radius_too_small", {0, 0}, {10, 0}, 1, true, false, ArcShape::arc, {5, 0}, 5, pi, 2 * pi},
    {"radius_zero_is_a_line", {0, 0}, {10, 0}, 0, true, false, ArcShape::line, {}, 0, 0, 0},
    {"same_points_draw_nothing", {3, 3}, {3, 3}, 4, true, false, ArcShape::none, {}, 0, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ArcCentreCase, testing::ValuesIn(arc_cases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace lw

namespace lw {
namespace {

Point bezier_at(Point p0, const CubicPiece& c, float t) {
  const float u = 1 - t;
  const float a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
  return {a * p0.x + b * c.c1.x + d * c.c2.x + e * c.to.x,
          a * p0.y + b * c.c1.y + d * c.c2.y + e * c.to.y};
}

TEST(ArcBeziers, PiecesFollowTheCircleInTheirDirection) {
  struct Sweep {
    Point from, to;
    float radius;
    bool clockwise, large;
    size_t pieces;
  };
  const Sweep sweeps[] = {
      {{0, 0}, {10, 10}, 10, true, false, 1},  // a quarter
      {{0, 0}, {10, 10}, 10, true, true, 3},   // three quarters
      {{0, 0}, {10, 0}, 5, true, false, 2},    // a half, over the top
      {{0, 0}, {10, 0}, 5, false, false, 2},   // a half, underneath
      {{4, 13}, {2.5f, 11.5f}, 1.5f, true, false, 1},
  };
  for (const Sweep& s : sweeps) {
    ArcCentre arc;
    ASSERT_EQ(arc_centre(s.from, s.to, s.radius, s.clockwise, s.large, arc), ArcShape::arc);
    std::vector<CubicPiece> pieces;
    arc_beziers(arc, s.to, pieces);
    ASSERT_EQ(pieces.size(), s.pieces);
    EXPECT_EQ(pieces.back().to, s.to);
    Point start = s.from;
    float last_angle = arc.start;
    for (const CubicPiece& c : pieces) {
      for (float t : {0.25f, 0.5f, 0.75f}) {
        const Point p = bezier_at(start, c, t);
        EXPECT_NEAR(std::hypot(p.x - arc.centre.x, p.y - arc.centre.y), arc.radius,
                    3e-4 * arc.radius);
      }
      // Each piece moves on in the arc's direction.
      float angle = std::atan2(c.to.y - arc.centre.y, c.to.x - arc.centre.x);
      float turn = std::remainder(angle - last_angle, 2 * pi);
      EXPECT_EQ(turn > 0, s.clockwise);
      last_angle = angle;
      start = c.to;
    }
  }
  // Over the top means through smaller y.
  ArcCentre arc;
  std::vector<CubicPiece> pieces;
  ASSERT_EQ(arc_centre({0, 0}, {10, 0}, 5, true, false, arc), ArcShape::arc);
  arc_beziers(arc, {10, 0}, pieces);
  EXPECT_NEAR(pieces[0].to.x, 5, 1e-4);
  EXPECT_NEAR(pieces[0].to.y, -5, 1e-4);
}

}  // namespace
}  // namespace lw
