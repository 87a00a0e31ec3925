#include <gtest/gtest.h>

#include "gfx/gfx_recording.h"
#include "gfx/icons.h"

namespace lw {
namespace {

const Color ink = rgb(0x16181D);

TEST(RecordingGfx, TextWidthsAreSevenPixelsPerCellAtNormalSize) {
  RecordingGfx gfx;
  EXPECT_EQ(gfx.measure_text("Linewick", TextFormat::normal), 56.0f);
  EXPECT_EQ(gfx.measure_text("abcd", TextFormat::mono), 28.0f);
  EXPECT_NEAR(gfx.measure_text("ab", TextFormat::small), 2 * 7 * 11.5f / 13, 1e-4);
  // Semibold is wider than normal at the same size, as in real faces.
  EXPECT_EQ(gfx.measure_text("Linewick", TextFormat::bold), 64.0f);
  EXPECT_NEAR(gfx.measure_text("abcd", TextFormat::title), 4 * 8 * 20.0f / 13, 1e-4);
  // Characters, not bytes; East Asian wide characters take two cells.
  EXPECT_EQ(gfx.measure_text("é→…", TextFormat::normal), 21.0f);
  EXPECT_EQ(gfx.measure_text("한국어", TextFormat::normal), 42.0f);
  EXPECT_EQ(gfx.measure_text("統計：", TextFormat::normal), 42.0f);
  // Trailing blanks count.
  EXPECT_EQ(gfx.measure_text("→ ", TextFormat::mono), 14.0f);
  RecordingGfx scaled(1.5f);
  EXPECT_EQ(scaled.measure_text("Linewick", TextFormat::normal), 84.0f);
  EXPECT_EQ(scaled.scale(), 1.5f);
}

struct TrimCase {
  const char* text;
  float width;
  const char* shown;
};

TEST(RecordingGfx, LongLabelEndsInAnEllipsisAndNeverWraps) {
  const TrimCase cases[] = {
      {"Save log", 56, "Save log"},         // exactly fits
      {"Save log…", 50, "Save l…"},         // 7 cells fit: six characters and the ellipsis
      {"Data bits · parity", 35, "Data…"},  // multi-byte characters count once
      {"Record", 6, "…"},
      {"한국어 텍스트", 50, "한국어…"},  // wide characters fill two cells each
      {"", 10, ""},
  };
  for (const TrimCase& c : cases) {
    RecordingGfx gfx;
    gfx.draw_text(c.text, {10, 20, c.width, 32}, ink, TextFormat::normal, Align::leading);
    ASSERT_EQ(gfx.calls().size(), 1u);
    const DrawCall& call = gfx.calls()[0];
    EXPECT_EQ(call.shown, c.shown) << c.text;
    EXPECT_EQ(call.text, c.text);
    const auto layout = gfx.text_layout(c.text, c.width, TextFormat::normal, Align::leading);
    EXPECT_LE(layout->width(), std::max(c.width, 7.0f)) << c.text;
    EXPECT_EQ(layout->height(), gfx.line_height(TextFormat::normal)) << c.text;
  }
}

TEST(RecordingGfx, CaretPositionsFollowTheCells) {
  RecordingGfx gfx;
  const auto left = gfx.text_layout("héllo", 200, TextFormat::normal, Align::leading);
  EXPECT_EQ(left->caret_x(0), 0.0f);
  EXPECT_EQ(left->caret_x(2), 14.0f);
  EXPECT_EQ(left->caret_x(99), 35.0f);
  EXPECT_EQ(left->index_at(-4), 0u);
  EXPECT_EQ(left->index_at(10), 1u);
  EXPECT_EQ(left->index_at(11), 2u);
  EXPECT_EQ(left->index_at(500), 5u);
  const auto wide = gfx.text_layout("a한b", 200, TextFormat::normal, Align::leading);
  EXPECT_EQ(wide->caret_x(2), 21.0f);
  EXPECT_EQ(wide->width(), 28.0f);
  EXPECT_EQ(wide->index_at(13), 1u);
  EXPECT_EQ(wide->index_at(15), 2u);
  const auto centred = gfx.text_layout("ab", 100, TextFormat::normal, Align::centre);
  EXPECT_EQ(centred->caret_x(0), 43.0f);
  EXPECT_EQ(centred->index_at(50), 1u);
  const auto right = gfx.text_layout("ab", 100, TextFormat::normal, Align::trailing);
  EXPECT_EQ(right->caret_x(2), 100.0f);
}

TEST(RecordingGfx, RecordsCallsWithTheClipInForce) {
  RecordingGfx gfx;
  gfx.fill_rect({0, 0, 5, 5}, ink);
  gfx.begin_frame(rgb(0xF2F4F7));
  gfx.push_clip({10, 10, 100, 50});
  gfx.push_clip({50, 0, 100, 30});
  gfx.fill_rounded_rect({60, 12, 20, 10}, 8, ink);
  gfx.pop_clip();
  gfx.line({0, 0}, {5, 5}, 1, ink);
  gfx.pop_clip();
  gfx.fill_circle({5, 5}, 2.5f, ink);
  gfx.end_frame();

  const auto& calls = gfx.calls();
  ASSERT_EQ(calls.size(), 9u);  // begin_frame dropped the earlier fill
  EXPECT_EQ(calls[0].kind, DrawKind::clear);
  EXPECT_EQ(calls[0].colour, rgb(0xF2F4F7));
  EXPECT_EQ(calls[3].kind, DrawKind::fill_rounded_rect);
  EXPECT_EQ(calls[3].radius, 8.0f);
  ASSERT_TRUE(calls[3].clip.has_value());
  EXPECT_EQ(*calls[3].clip, (Rect{50, 10, 60, 20}));
  EXPECT_EQ(calls[5].kind, DrawKind::line);
  EXPECT_EQ(*calls[5].clip, (Rect{10, 10, 100, 50}));
  EXPECT_EQ(calls[7].kind, DrawKind::fill_circle);
  EXPECT_FALSE(calls[7].clip.has_value());
  EXPECT_EQ(calls[7].rect, (Rect{2.5f, 2.5f, 5, 5}));
  EXPECT_EQ(calls[8].kind, DrawKind::end_frame);
}

TEST(RecordingGfx, IconsThatDoNotParseAreNotDrawn) {
  RecordingGfx gfx;
  gfx.draw_icon(icons::plug, {24, 24}, 20, ink);
  gfx.draw_icon("L 5 5", {24, 24}, 20, ink);
  const auto drawn = gfx.calls_of(DrawKind::icon);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].text, icons::plug);
  EXPECT_EQ(drawn[0].rect, (Rect{14, 14, 20, 20}));
}

TEST(RecordingGfx, PolylineKeepsEveryPoint) {
  RecordingGfx gfx;
  const std::vector<Point> pts{{0, 0}, {0.1f, 1}, {0.2f, 2}};
  gfx.polyline(pts, 1.4f, ink);
  ASSERT_EQ(gfx.calls().size(), 1u);
  EXPECT_EQ(gfx.calls()[0].points, pts);
  EXPECT_EQ(gfx.calls()[0].width, 1.4f);
}

}  // namespace
}  // namespace lw
