#include "ui/widgets.h"

#include <gtest/gtest.h>

#include "gfx/gfx_recording.h"
#include "gfx/icons.h"

namespace lw {
namespace {

Widget widget(WidgetStyle style, std::string label, std::string_view icon = {}) {
  Widget w;
  w.id = cmd::send;
  w.style = style;
  w.label = std::move(label);
  w.icon = icon;
  return w;
}

TEST(WidgetWidth, TheButtonRules) {
  RecordingGfx gfx;  // 7 px per character
  struct Case {
    Widget w;
    float width;
  };
  const Case cases[] = {
      {widget(WidgetStyle::button, "DTR"), 21 + 24},
      {widget(WidgetStyle::icon_label, "Record", icons::record), 18 + 6 + 42 + 24},
      {widget(WidgetStyle::dropdown, "8N1"), 21 + 16 + 24},
      {widget(WidgetStyle::dropdown, "Time", icons::clock), 18 + 6 + 28 + 16 + 24},
      {widget(WidgetStyle::icon, "", icons::copy), 32},  // square
      {widget(WidgetStyle::dropdown, ""), 32},
      {widget(WidgetStyle::field, "220"), 220},
      {widget(WidgetStyle::field, "110"), 110},
      {widget(WidgetStyle::field, "wide"), 200},  // does not parse
      {widget(WidgetStyle::field, ""), 200},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(widget_width(c.w, gfx, 32), c.width) << c.w.label;
  }
}

TEST(WidgetWidth, ScalesWithTheGfx) {
  RecordingGfx gfx(2);
  EXPECT_EQ(widget_width(widget(WidgetStyle::button, "DTR"), gfx, 64), 2 * (21 + 24));
  EXPECT_EQ(widget_width(widget(WidgetStyle::field, "160"), gfx, 64), 320);
}

TEST(RowLayout, LeftAndRightListsSixApartAndCentred) {
  RecordingGfx gfx;
  std::vector<Widget> left = {widget(WidgetStyle::button, "DTR"),
                              widget(WidgetStyle::button, "RTS")};
  std::vector<Widget> right = {widget(WidgetStyle::button, "Send"),
                               widget(WidgetStyle::icon, "", icons::copy)};
  RowPlacement p{{280, 88, 900, 46}, 292, 1168, 32};
  layout_row(left, right, p, gfx);
  EXPECT_EQ(left[0].rect, (Rect{292, 95, 45, 32}));  // top = round(88 + (46 - 32) / 2)
  EXPECT_EQ(left[1].rect, (Rect{343, 95, 45, 32}));
  EXPECT_EQ(right[0].rect, (Rect{1168 - 52, 95, 52, 32}));
  EXPECT_EQ(right[1].rect, (Rect{1168 - 52 - 6 - 32, 95, 32, 32}));
}

TEST(RowLayout, AnExpandingWidgetTakesWhatIsLeft) {
  RecordingGfx gfx;
  std::vector<Widget> left = {widget(WidgetStyle::field, "")};
  left[0].expand = true;
  std::vector<Widget> right = {widget(WidgetStyle::button, "Send")};
  layout_row(left, right, {{280, 702, 900, 58}, 292, 1168, 32}, gfx);
  EXPECT_EQ(left[0].rect.x, 292);
  EXPECT_EQ(left[0].rect.right(), right[0].rect.x - 6);
  EXPECT_EQ(left[0].rect.y, 715);
}

}  // namespace
}  // namespace lw
