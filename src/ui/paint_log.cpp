// The log card: the visible rows only (a full log costs what fits on
// screen), with stamps, backgrounds, search marks, reply times and frame
// verdicts; the empty-log hint, the scroll bar and the jump pill.
#include <algorithm>
#include <cmath>

#include "gfx/icons.h"
#include "lang/tr.h"
#include "log/display.h"
#include "ui/colours.h"
#include "ui/paint_context.h"
#include "ui/readable.h"
#include "ui/search_marks.h"
#include "ui/shapes.h"
#include "ui/texts.h"

namespace lw {

namespace {

std::string_view stamp_sample(StampMode mode) {
  switch (mode) {
    case StampMode::DateAndTime:
      return "0000-00-00 00:00:00.000";
    case StampMode::SinceOpening:
      return "+0:00:00.000";
    case StampMode::Time:
      break;
  }
  return "00:00:00.000";
}

struct RowStyle {
  float stamp_x = 0;
  float stamp_w = 0;
  float text_x = 0;
  float text_right = 0;
  float arrow_w = 0;
};

void paint_row(const PaintContext& c, const Session& s, size_t row, float y, float h,
               const RowStyle& rs) {
  const Palette& p = c.pal;
  const Rect log = c.frame.log;
  const LineRecord& rec = s.log.shown_record(row);
  const uint64_t absolute = s.log.absolute_of_row(row);
  const Rect band{log.x, y, log.w, h};
  Color back = p[Pal::log];  // what the row's texts are drawn on
  if (s.lab.alerts.is_alert_line(absolute)) {
    c.gfx.fill_rect(band, colours::alert_row.with_opacity(0.18f));
    back = over(colours::alert_row.with_opacity(0.18f), back);
  }
  if (const auto& sel = s.log.selection()) {
    const uint64_t lo = std::min(sel->anchor, sel->caret);
    const uint64_t hi = std::max(sel->anchor, sel->caret);
    if (absolute >= lo && absolute <= hi) {
      c.gfx.fill_rect(band, p[Pal::accent].with_opacity(0.2f));
      back = over(p[Pal::accent].with_opacity(0.2f), back);
    }
  }

  const AppState& state = c.app.state();
  c.gfx.draw_text(format_stamp(rec.time, s.opened_at, state.stamp_mode),
                  {rs.stamp_x, y, rs.stamp_w + c.d(4), h}, readable(p[Pal::muted], back),
                  TextFormat::mono, Align::leading);

  float x = rs.text_x;
  Color text_colour = p[Pal::text];
  if (rec.direction == Direction::Sent) {
    c.gfx.draw_text("→", {x, y, rs.arrow_w + c.d(2), h}, readable(p[Pal::accent], back),
                    TextFormat::mono, Align::leading);
    x += rs.arrow_w;
  } else if (rec.direction == Direction::Mark) {
    text_colour = p[Pal::muted];
  }
  text_colour = readable(text_colour, back);
  const std::string body = line_text(rec, s.hex_view() || s.framing.has_value());

  // What follows the text: the checksum verdict, then the reply time.
  const FrameVerdict verdict = frame_verdict(rec, s.framing);
  const std::string verdict_text = frame_verdict_suffix(verdict);
  std::string reply_text;
  if (const std::optional<int64_t> ms = s.lab.replies.reply_time(absolute)) {
    reply_text = "   " + fill(tr("응답 {0} ms", "reply {0} ms"), {std::to_string(*ms)});
  }
  const float verdict_w =
      verdict_text.empty() ? 0 : c.gfx.measure_text(verdict_text, TextFormat::mono);
  const float reply_w = reply_text.empty() ? 0 : c.gfx.measure_text(reply_text, TextFormat::mono);
  const float avail = std::max(c.d(20), rs.text_right - x - verdict_w - reply_w);

  float body_w = 0;
  if (!state.search_text.empty()) {
    const std::vector<CharRange> marks = find_matches(body, state.search_text);
    if (!marks.empty()) {
      const std::unique_ptr<TextLayout> layout =
          c.gfx.text_layout(body, avail, TextFormat::mono, Align::leading);
      const float top = y + c.d(1);
      for (const CharRange& m : marks) {
        const float a = layout->caret_x(m.begin);
        const float b = layout->caret_x(m.end);
        if (b > a) c.gfx.fill_rect({x + a, top, b - a, h - c.d(2)}, p[Pal::match]);
      }
      body_w = layout->width();
      // Readable on the marks as well as beside them.
      text_colour = readable(text_colour, over(p[Pal::match], back));
    }
  }
  c.gfx.draw_text(body, {x, y, avail, h}, text_colour, TextFormat::mono, Align::leading);
  if (verdict_text.empty() && reply_text.empty()) return;
  if (body_w == 0) body_w = std::min(avail, c.gfx.measure_text(body, TextFormat::mono));
  x += body_w;
  if (!verdict_text.empty()) {
    const Color vc = verdict == FrameVerdict::Good ? p[Pal::accent] : colours::red;
    c.gfx.draw_text(verdict_text, {x, y, verdict_w + c.d(2), h}, readable(vc, back),
                    TextFormat::mono, Align::leading);
    x += verdict_w;
  }
  if (!reply_text.empty()) {
    c.gfx.draw_text(reply_text, {x, y, reply_w + c.d(2), h}, readable(p[Pal::muted], back),
                    TextFormat::mono, Align::leading);
  }
}

void paint_jump_pill(const PaintContext& c, const Rect& pill) {
  const float alpha = c.hovered(target::jump_to_bottom) ? 0.85f : 1.0f;
  const Color fill = over(c.pal[Pal::accent].with_opacity(alpha), c.pal[Pal::log]);
  c.gfx.fill_rounded_rect(pill, c.d(17), fill);
  const Color ink = ink_on(fill);
  c.gfx.draw_icon(icons::jump_down, {pill.x + c.d(18), pill.y + pill.h / 2}, c.d(20), ink);
  c.gfx.draw_text(jump_to_bottom_text(), {pill.x + c.d(32), pill.y, pill.w - c.d(38), pill.h}, ink,
                  TextFormat::normal, Align::leading);
}

}  // namespace

void paint_log(const PaintContext& c) {
  const Palette& p = c.pal;
  const Session& s = *c.frame.session;
  const Rect log = c.frame.log;
  const float radius = c.d(8);
  c.gfx.fill_rounded_rect(log, radius, p[Pal::log]);
  const float px = std::max(1.0f, std::floor(c.s()));
  c.gfx.stroke_rounded_rect({log.x + px / 2, log.y + px / 2, log.w - px, log.h - px}, radius, px,
                            p[Pal::separator]);

  const size_t shown = s.log.shown_count();
  if (shown == 0) {
    const float mid = log.y + log.h / 2;
    c.gfx.draw_text(empty_log_text(s), {log.x, mid - c.d(40), log.w, c.d(40)}, p[Pal::muted],
                    TextFormat::normal, Align::centre);
    return;
  }

  RowStyle rs;
  rs.stamp_x = log.x + c.d(12);
  rs.stamp_w = c.gfx.measure_text(stamp_sample(c.app.state().stamp_mode), TextFormat::mono);
  rs.text_x = log.x + c.d(12) + rs.stamp_w + c.d(14);
  rs.text_right = log.right() - c.d(c.frame.scroll_bar ? 18 : 10);
  rs.arrow_w = c.gfx.measure_text("→ ", TextFormat::mono);

  const float row_h = log_row_height(c.s());
  const double scroll = std::max(0.0, s.log.scroll());
  const double first_d = std::floor(scroll);
  const auto first = static_cast<size_t>(first_d);
  const float shift = static_cast<float>(scroll - first_d) * row_h;
  c.gfx.push_clip(log);
  for (size_t i = 0;; ++i) {
    const size_t row = first + i;
    const float y = log.y - shift + static_cast<float>(i) * row_h;
    if (row >= shown || y >= log.bottom()) break;
    paint_row(c, s, row, y, row_h, rs);
  }
  c.gfx.pop_clip();

  if (const auto& bar = c.frame.scroll_bar) {
    const bool hot = c.hovered(target::scroll_bar) || c.ui.dragging_scroll_bar;
    c.gfx.fill_rounded_rect(bar->thumb, bar->thumb.w / 2,
                            p[Pal::muted].with_opacity(hot ? 0.7f : 0.4f));
  }
  if (c.frame.jump_pill) paint_jump_pill(c, *c.frame.jump_pill);
}

}  // namespace lw
