// Bar widgets: buttons, switches, drop-downs, read-outs and text fields.
#include <algorithm>
#include <cmath>

#include "base/utf8.h"
#include "gfx/icons.h"
#include "lang/tr.h"
#include "ui/colours.h"
#include "ui/paint_context.h"
#include "ui/readable.h"
#include "ui/shapes.h"
#include "ui/text_input.h"

namespace lw {

namespace {

constexpr std::string_view kChevron = "M 6 8 L 10 12 L 14 8";
constexpr float kRadius = 7;

float hairline(const PaintContext& c) { return std::max(1.0f, std::floor(c.s())); }

struct FieldView {
  const TextInput* input = nullptr;
  FieldKind kind = FieldKind::send;
  bool focused = false;
  std::string placeholder;
};

FieldView field_view(const PaintContext& c, const Widget& w, TextInput& scratch) {
  FieldView v;
  const Session* s = c.frame.session;
  switch (w.id) {
    case cmd::search_field:
      v.kind = FieldKind::search;
      v.input = &c.ui.search_field;
      v.focused = c.ui.focus == Focus::search;
      v.placeholder = tr("찾기 (Ctrl+F)", "Find (Ctrl+F)");
      break;
    case cmd::baud_field:
      v.kind = FieldKind::baud;
      v.focused = c.ui.focus == Focus::baud;
      if (v.focused || s == nullptr) {
        v.input = &c.ui.baud_field;
      } else {
        scratch.set_utf8(std::to_string(s->settings.baud));
        v.input = &scratch;
      }
      v.placeholder = tr("통신 속도 숫자", "Baud rate number");
      break;
    case cmd::dialog_field:
      v.kind = FieldKind::dialog;
      v.input = c.ui.dialog ? &c.ui.dialog->field : &scratch;
      v.focused = c.ui.focus == Focus::dialog;
      break;
    default: {
      v.kind = FieldKind::send;
      v.focused = c.ui.focus == Focus::send;
      const auto it = s ? c.ui.send_fields.find(s->id) : c.ui.send_fields.end();
      if (it != c.ui.send_fields.end()) {
        v.input = &it->second;
      } else {
        v.input = &scratch;
      }
      const bool hex = s != nullptr && s->send.hex_mode;
      v.placeholder = hex ? tr("보낼 바이트 (예: 48 65 6C 0D 0A) · Enter",
                               "Bytes to send (e.g. 48 65 6C 0D 0A) · Enter")
                          : tr("보낼 내용 · Enter로 보내기 · ↑↓ 이전 내용",
                               "Text to send · Enter sends · ↑↓ earlier ones");
      break;
    }
  }
  return v;
}

void paint_field(const PaintContext& c, const Widget& w, Color backdrop) {
  const Palette& p = c.pal;
  TextInput scratch;
  const FieldView v = field_view(c, w, scratch);
  const Rect r = w.rect;
  const float radius = c.d(kRadius);
  const Color face =
      v.kind == FieldKind::send ? p[Pal::log] : over(p[Pal::muted].with_opacity(0.08f), backdrop);
  c.gfx.fill_rounded_rect(r, radius, face);
  // The border is stroked inside the edge: a focused field's thicker line
  // must not grow it.
  const float border = v.focused ? 1.5f * c.s() : 1.0f;
  c.gfx.stroke_rounded_rect({r.x + border / 2, r.y + border / 2, r.w - border, r.h - border},
                            radius, border, v.focused ? p[Pal::accent] : p[Pal::separator]);
  const float cy = r.y + r.h / 2;
  if (v.kind == FieldKind::search) {
    c.gfx.draw_icon(icons::magnifier, {r.x + c.d(17), cy}, c.d(16), p[Pal::muted]);
    if (!v.input->empty()) {
      // The cross's square starts 26 from the right edge, inside the clear zone.
      const float size = c.d(12);
      const Point cross{r.right() - c.d(26) + size / 2, cy};
      if (c.hovered(cmd::clear_search)) {
        c.gfx.fill_circle(cross, c.d(10), p[Pal::muted].with_opacity(0.2f));
      }
      c.gfx.draw_icon(icons::cross, cross, size, p[Pal::muted]);
    }
  }
  const Rect tr_ = text_rect(v.kind, r, c.s());
  if (v.input->empty()) {
    c.gfx.draw_text(v.placeholder, tr_, readable(p[Pal::muted].with_opacity(0.85f), face),
                    TextFormat::normal, Align::leading);
  } else {
    const std::string shown = display_utf8(*v.input);
    const float offset = scroll_offset(*v.input, v.kind, r, c.gfx);
    const std::unique_ptr<TextLayout> layout =
        c.gfx.text_layout(shown, unbounded_width, TextFormat::normal, Align::leading);
    const float x0 = tr_.x - offset;
    c.gfx.push_clip(tr_);
    if (v.input->has_selection()) {
      const float a = layout->caret_x(v.input->selection_start());
      const float b = layout->caret_x(v.input->selection_end());
      c.gfx.fill_rect({x0 + a, r.y + c.d(7), b - a, r.h - c.d(14)},
                      p[Pal::accent].with_opacity(0.28f));
    }
    c.gfx.draw_text(shown, {x0, r.y, layout->width() + c.d(4), r.h}, readable(p[Pal::text], face),
                    TextFormat::normal, Align::leading);
    const size_t caret = v.input->caret;
    if (!v.input->composition.empty()) {
      const float a = layout->caret_x(caret);
      const float b = layout->caret_x(caret + v.input->composition.size());
      c.gfx.fill_rect({x0 + a, r.bottom() - c.d(9), b - a, std::max(1.0f, c.s())}, p[Pal::text]);
    }
    c.gfx.pop_clip();
  }
  if (v.focused && v.input->composition.empty()) {
    float x = tr_.x;
    if (!v.input->empty()) {
      const std::string shown = display_utf8(*v.input);
      const std::unique_ptr<TextLayout> layout =
          c.gfx.text_layout(shown, unbounded_width, TextFormat::normal, Align::leading);
      x = tr_.x - scroll_offset(*v.input, v.kind, r, c.gfx) + layout->caret_x(v.input->caret);
    }
    const float bar = std::max(1.5f * c.s(), 1.0f);
    c.gfx.fill_rect({std::round(x), r.y + c.d(8), bar, r.h - c.d(16)}, p[Pal::accent]);
  }
}

void paint_readout(const PaintContext& c, const Widget& w, Color backdrop) {
  const Palette& p = c.pal;
  const Color muted = readable(p[Pal::muted], backdrop);
  if (w.id == cmd::none && w.detail.empty()) {
    c.gfx.draw_text(w.label, w.rect, muted, TextFormat::normal, Align::leading);
    return;
  }
  // In / Out amounts: muted words, plain numbers.
  const std::string in = tr("받음", "In");
  const std::string out = tr("보냄", "Out");
  float x = w.rect.x;
  const auto part = [&](const std::string& text, TextFormat f, Color col, float after) {
    const float tw = c.gfx.measure_text(text, f);
    c.gfx.draw_text(text, {x, w.rect.y, tw + 1, w.rect.h}, col, f, Align::leading);
    x += tw + after;
  };
  const Color text = readable(p[Pal::text], backdrop);
  part(in, TextFormat::small, muted, c.d(5));
  part(w.label, TextFormat::normal, text, c.d(14));
  part(out, TextFormat::small, muted, c.d(5));
  part(w.detail, TextFormat::normal, text, 0);
}

}  // namespace

void paint_widget(const PaintContext& c, const Widget& w, Color backdrop) {
  const Palette& p = c.pal;
  if (w.style == WidgetStyle::field) {
    paint_field(c, w, backdrop);
    return;
  }
  if (w.style == WidgetStyle::readout) {
    paint_readout(c, w, backdrop);
    return;
  }
  const Rect r = w.rect;
  const float radius = c.d(kRadius);
  const bool hovered = c.hovered(w.id, w.index);
  Color label = p[Pal::text];
  Color icon = p[Pal::text];
  Color face = p[Pal::card];  // what the label is drawn on
  if (w.primary) {
    face = over(p[Pal::accent].with_opacity(hovered ? 0.85f : 1.0f), backdrop);
    c.gfx.fill_rounded_rect(r, radius, face);
    label = icon = ink_on(face);
  } else if (w.style == WidgetStyle::segment && w.active && w.id == cmd::text_hex) {
    // The chosen side of a two-way switch: a raised face on the track.
    framed_box(c.gfx, r, radius - c.d(1), face, p[Pal::separator], hairline(c));
  } else if (w.style == WidgetStyle::segment && !w.active && w.id == cmd::text_hex) {
    face = over(p[Pal::muted].with_opacity(0.1f), backdrop);  // the track
    if (hovered) {
      face = over(p[Pal::muted].with_opacity(0.1f), face);
      c.gfx.fill_rounded_rect(r, radius, p[Pal::muted].with_opacity(0.1f));
    }
    label = p[Pal::muted];
  } else if (w.active) {
    face = over(p[Pal::accent].with_opacity(hovered ? 0.22f : 0.14f), backdrop);
    framed_box(c.gfx, r, radius, face, over(p[Pal::accent].with_opacity(0.55f), backdrop),
               hairline(c));
    icon = p[Pal::accent];
  } else {
    if (hovered) face = over(p[Pal::muted].with_opacity(0.1f), p[Pal::card]);
    framed_box(c.gfx, r, radius, face, p[Pal::separator], hairline(c));
  }
  label = readable(label, face);

  const float cy = r.y + r.h / 2;
  const std::string_view text = w.shown_label();
  if (text.empty() && w.style != WidgetStyle::dropdown) {
    if (!w.icon.empty()) c.gfx.draw_icon(w.icon, {r.x + r.w / 2, cy}, c.d(18), icon);
    return;
  }
  float x = r.x + c.d(12);
  if (!w.icon.empty()) {
    c.gfx.draw_icon(w.icon, {x + c.d(9), cy}, c.d(18), icon);
    x += c.d(18 + 6);
  }
  float right = r.right() - c.d(12);
  if (w.style == WidgetStyle::dropdown) {
    // The marker alone is centred; beside an icon or a label it sits right.
    const Point chevron = text.empty() && w.icon.empty() ? Point{r.x + r.w / 2, cy}
                                                         : Point{r.right() - c.d(12) - c.d(7), cy};
    c.gfx.draw_icon(kChevron, chevron, c.d(14), p[Pal::muted]);
    right -= c.d(16);
  }
  if (!text.empty()) {
    c.gfx.draw_text(text, {x, r.y, std::max(0.0f, right - x + c.d(2)), r.h}, label,
                    TextFormat::normal, Align::leading);
  }
}

void paint_widgets(const PaintContext& c) {
  const std::vector<Widget>& widgets = c.frame.widgets;
  // A two-way switch sits on one track spanning its segments.
  for (size_t i = 0; i < widgets.size(); ++i) {
    const Widget& w = widgets[i];
    if (w.style != WidgetStyle::segment || w.id != cmd::text_hex || w.index != 0) continue;
    Rect track = w.rect;
    for (size_t j = i + 1; j < widgets.size() && widgets[j].id == w.id; ++j) {
      track.w = widgets[j].rect.right() - track.x;
    }
    const float pad = c.d(2);
    c.gfx.fill_rounded_rect({track.x - pad, track.y - pad, track.w + 2 * pad, track.h + 2 * pad},
                            c.d(kRadius + 2), c.pal[Pal::muted].with_opacity(0.1f));
  }
  const Rect clip{c.frame.layout.panel_width, c.frame.layout.tab_row.bottom(),
                  c.frame.layout.width - c.frame.layout.panel_width,
                  c.frame.layout.height - c.frame.layout.tab_row.bottom()};
  c.gfx.push_clip(clip);
  for (const Widget& w : widgets) {
    // The graph's controls are drawn with the graph.
    if (w.id == cmd::graph_span || w.id == cmd::graph_pause || w.id == cmd::graph_stats) continue;
    paint_widget(c, w, c.pal[Pal::background]);
  }
  c.gfx.pop_clip();
}

}  // namespace lw
