#include "ui/widgets.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "gfx/icons.h"
#include "lang/tr.h"

namespace lw {

namespace {

constexpr float kGap = 6;
constexpr float kExpandingMin = 10;

// A widget in its row while the row is fitted.
struct Slot {
  Widget w;
  bool on_right = false;
  bool gone = false;   // not in the row any more
  bool moved = false;  // gone into the overflow menu
};

void take_narrow_form(Slot& slot) {
  Widget& w = slot.w;
  if (w.style == WidgetStyle::readout) {
    slot.gone = true;
  } else if (w.is_field() ? w.min_width > 0 : !w.icon.empty() && !w.label.empty()) {
    w.compact = true;
  }
}

}  // namespace

float field_width_dips(std::string_view label) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(label.data(), label.data() + label.size(), value);
  if (ec != std::errc() || end != label.data() + label.size() || value == 0) return 200;
  return static_cast<float>(value);
}

float widget_width(const Widget& w, Gfx& gfx, float height) {
  const float s = gfx.scale();
  if (w.fixed_width > 0) return w.fixed_width;
  if (w.is_field()) {
    return std::round((w.compact && w.min_width > 0 ? w.min_width : field_width_dips(w.label)) * s);
  }
  const std::string_view label = w.shown_label();
  if (label.empty()) {
    // An icon and the drop-down marker beside it.
    if (w.style == WidgetStyle::dropdown && !w.icon.empty()) return std::ceil((18 + 16 + 24) * s);
    return height;
  }
  const float label_w = gfx.measure_text(label, TextFormat::normal);
  float width = w.icon.empty() ? label_w : 18 * s + 6 * s + label_w;
  if (w.style == WidgetStyle::dropdown) width += 16 * s;
  if (w.style != WidgetStyle::readout) width += 24 * s;
  return std::ceil(width);
}

Widget overflow_button(int row) {
  Widget w;
  w.id = cmd::overflow;
  w.index = static_cast<size_t>(std::max(row, 0));
  w.style = WidgetStyle::icon;
  w.icon = icons::more;
  w.tooltip = tr("더 보기", "More");
  return w;
}

std::vector<Widget> layout_row(std::vector<Widget>& left, std::vector<Widget>& right,
                               const RowPlacement& p, Gfx& gfx) {
  const float s = gfx.scale();
  const float h = std::round(p.height * s);
  const float top = std::round(p.row.y + (p.row.h - h) / 2);
  const float gap = kGap * s;
  const bool has_menu = p.overflow_row >= 0;

  // The row in screen order: the left list, then the right list from the
  // middle outwards.
  std::vector<Slot> row;
  for (Widget& w : left) row.push_back({std::move(w), false});
  for (auto it = right.rbegin(); it != right.rend(); ++it) row.push_back({std::move(*it), true});
  left.clear();
  right.clear();

  const auto width_of = [&](const Widget& w) {
    return w.expand ? std::round(std::max(w.min_width, kExpandingMin) * s)
                    : widget_width(w, gfx, h);
  };
  bool button = false;
  const auto fits = [&] {
    float total = 0;
    size_t n = 0;
    for (const Slot& slot : row) {
      if (slot.gone) continue;
      total += width_of(slot.w);
      ++n;
    }
    if (button && has_menu) {
      total += h;
      ++n;
    }
    if (n > 1) total += gap * static_cast<float>(n - 1);
    return total <= p.right - p.left;
  };

  // Narrow forms, the highest rank first.
  uint8_t top_rank = 0;
  for (const Slot& slot : row) top_rank = std::max(top_rank, slot.w.narrow_rank);
  for (int rank = top_rank; rank >= 1 && !fits(); --rank) {
    for (Slot& slot : row) {
      if (!slot.gone && slot.w.narrow_rank == rank) take_narrow_form(slot);
    }
  }
  // Into the overflow menu, the highest rank first.
  while (!fits()) {
    Slot* next = nullptr;
    for (Slot& slot : row) {
      if (!slot.gone && slot.w.overflow_rank > 0 &&
          (next == nullptr || slot.w.overflow_rank > next->w.overflow_rank)) {
        next = &slot;
      }
    }
    if (next == nullptr) break;
    next->gone = next->moved = true;
    button = true;
  }
  // Whatever still does not fit leaves from the row's right end.
  while (!fits()) {
    Slot* last = nullptr;
    for (Slot& slot : row) {
      if (!slot.gone && !slot.w.expand) last = &slot;
    }
    if (last == nullptr) break;
    last->gone = true;
    last->moved = last->w.clickable();
    button = button || last->moved;
  }

  std::vector<Widget> moved;
  std::vector<Widget> right_on_screen;
  bool button_placed = !has_menu;
  for (Slot& slot : row) {
    std::vector<Widget>& list = slot.on_right ? right_on_screen : left;
    if (slot.moved && !button_placed) {
      list.push_back(overflow_button(p.overflow_row));
      button_placed = true;
    }
    if (slot.moved) moved.push_back(std::move(slot.w));
    if (!slot.gone) list.push_back(std::move(slot.w));
  }
  right.assign(std::make_move_iterator(right_on_screen.rbegin()),
               std::make_move_iterator(right_on_screen.rend()));

  float x_right = p.right;
  for (Widget& w : right) {
    const float width = widget_width(w, gfx, h);
    x_right -= width;
    w.rect = {std::round(x_right), top, width, h};
    x_right -= gap;
  }
  const float right_edge = right.empty() ? p.right : right.back().rect.x - gap;

  // Widths first, so an expanding widget knows what the others take.
  float fixed = 0;
  size_t expanding = 0;
  for (const Widget& w : left) {
    if (w.expand) {
      ++expanding;
    } else {
      fixed += widget_width(w, gfx, h);
    }
  }
  if (!left.empty()) fixed += gap * static_cast<float>(left.size() - 1);
  const float spare = std::max(kExpandingMin * s, right_edge - p.left - fixed);
  const float each = expanding > 0 ? std::floor(spare / static_cast<float>(expanding)) : 0;

  float x = p.left;
  for (Widget& w : left) {
    const float width = w.expand ? each : widget_width(w, gfx, h);
    w.rect = {std::round(x), top, width, h};
    x += width + gap;
  }
  return moved;
}

}  // namespace lw
