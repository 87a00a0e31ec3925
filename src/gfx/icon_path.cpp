#include "gfx/icon_path.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

#include "base/unicode.h"
#include "base/utf8.h"

namespace lw {
namespace {

// Splits the text at Unicode white space.
class Tokens {
 public:
  explicit Tokens(std::string_view s) : s_(s) {}

  // The next token, or an empty view at the end.
  std::string_view next() {
    while (pos_ < s_.size()) {
      const size_t len = space_at(pos_);
      if (len == 0) break;
      pos_ += len;
    }
    const size_t start = pos_;
    while (pos_ < s_.size() && space_at(pos_) == 0) pos_ += char_length(pos_);
    return s_.substr(start, pos_ - start);
  }

 private:
  size_t char_length(size_t i) const {
    if (static_cast<unsigned char>(s_[i]) < 0x80) return 1;
    const Utf8Step step = decode_utf8(s_, i);
    return step.length == 0 ? 1 : step.length;
  }
  // Length of the white-space character at i, 0 if there is none.
  size_t space_at(size_t i) const {
    const auto c = static_cast<unsigned char>(s_[i]);
    if (c < 0x80) return unicode::is_white_space(c) ? 1 : 0;
    const Utf8Step step = decode_utf8(s_, i);
    return step.length != 0 && unicode::is_white_space(step.scalar) ? step.length : 0;
  }

  std::string_view s_;
  size_t pos_ = 0;
};

float operand(std::string_view token) {
  // A leading plus sign is allowed, but only on its own.
  if (token.size() > 1 && token.front() == '+' && token[1] != '-') token.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
  if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(v)) return 0;
  return static_cast<float>(v);
}

int operand_count(char command) {
  switch (command) {
    case 'M':
    case 'L':
    case 'D':
      return 2;
    case 'A':
    case 'a':
    case 'B':
    case 'b':
    case 'C':
      return 3;
    case 'R':
      return 5;
    case 'Z':
      return 0;
    default:
      return -1;
  }
}

// Tracks the open figure so every back end sees well-formed figures.
class Figures {
 public:
  explicit Figures(PathSink& sink) : sink_(sink) {}

  void begin(Point p) {
    end_open();
    sink_.begin_figure(p);
    open_ = true;
  }
  bool line(Point p) {
    if (!open_) return false;
    sink_.line_to(p);
    return true;
  }
  bool arc(Point p, float r, bool clockwise, bool large) {
    if (!open_) return false;
    sink_.arc_to(p, r, clockwise, large);
    return true;
  }
  bool close() {
    if (!open_) return false;
    sink_.end_figure(true);
    open_ = false;
    return true;
  }
  void end_open() {
    if (open_) sink_.end_figure(false);
    open_ = false;
  }

 private:
  PathSink& sink_;
  bool open_ = false;
};

bool run(char command, const std::array<float, 5>& v, Figures& f) {
  switch (command) {
    case 'M':
      f.begin({v[0], v[1]});
      return true;
    case 'L':
      return f.line({v[0], v[1]});
    case 'A':
    case 'a':
    case 'B':
    case 'b':
      return f.arc({v[1], v[2]}, v[0], command == 'A' || command == 'B',
                   command == 'B' || command == 'b');
    case 'C': {
      const float cx = v[0], cy = v[1], r = v[2];
      f.begin({cx - r, cy});
      f.arc({cx + r, cy}, r, true, false);
      f.arc({cx - r, cy}, r, true, false);
      return f.close();
    }
    case 'R': {
      const float x = v[0], y = v[1], w = v[2], h = v[3], r = v[4];
      f.begin({x + r, y});
      f.line({x + w - r, y});
      f.arc({x + w, y + r}, r, true, false);
      f.line({x + w, y + h - r});
      f.arc({x + w - r, y + h}, r, true, false);
      f.line({x + r, y + h});
      f.arc({x, y + h - r}, r, true, false);
      f.line({x, y + r});
      f.arc({x + r, y}, r, true, false);
      return f.close();
    }
    case 'D':
      f.begin({v[0], v[1]});
      return f.line({v[0], v[1] + 0.01f});
    case 'Z':
      return f.close();
    default:
      return true;
  }
}

}  // namespace

bool parse_icon_path(std::string_view path, PathSink& sink) {
  Tokens tokens(path);
  Figures figures(sink);
  for (std::string_view token = tokens.next(); !token.empty(); token = tokens.next()) {
    const int count = token.size() == 1 ? operand_count(token[0]) : -1;
    if (count < 0) continue;
    std::array<float, 5> v{};
    for (int i = 0; i < count; ++i) v[static_cast<size_t>(i)] = operand(tokens.next());
    if (!run(token[0], v, figures)) return false;
  }
  figures.end_open();
  return true;
}

ArcShape arc_centre(Point from, Point to, float radius, bool clockwise, bool large,
                    ArcCentre& out) {
  const double dx = static_cast<double>(to.x) - from.x;
  const double dy = static_cast<double>(to.y) - from.y;
  const double chord = std::hypot(dx, dy);
  // An overflowed or NaN operand leaves nothing that can be drawn.
  if (chord < 1e-9 || !std::isfinite(chord) || !std::isfinite(radius)) return ArcShape::none;
  double r = std::fabs(static_cast<double>(radius));
  if (r < 1e-9) return ArcShape::line;
  const double half = chord / 2;
  if (r < half) r = half;
  const double h = std::sqrt(std::max(0.0, r * r - half * half));
  const double mx = from.x + dx / 2, my = from.y + dy / 2;
  // Unit normal of the chord; the centre lies on one side or the other.
  const double nx = -dy / chord, ny = dx / chord;
  constexpr double two_pi = 2 * std::numbers::pi;
  for (const double side : {1.0, -1.0}) {
    const double cx = mx + side * h * nx, cy = my + side * h * ny;
    const double a0 = std::atan2(from.y - cy, from.x - cx);
    const double a1 = std::atan2(to.y - cy, to.x - cx);
    // Clockwise sweep (growing angle) from a0 to a1, in [0, 2 pi).
    double sweep = std::fmod(a1 - a0, two_pi);
    if (sweep < 0) sweep += two_pi;
    if (!clockwise) sweep = two_pi - sweep;
    // A half circle is both small and large; either centre serves.
    const bool is_large = sweep > std::numbers::pi + 1e-9;
    if (is_large == large || h < 1e-9) {
      out.centre = {static_cast<float>(cx), static_cast<float>(cy)};
      out.radius = static_cast<float>(r);
      out.start = static_cast<float>(a0);
      out.end = static_cast<float>(clockwise ? a0 + sweep : a0 - sweep);
      return ArcShape::arc;
    }
  }
  return ArcShape::none;  // not reached: one side always fits
}

void arc_beziers(const ArcCentre& arc, Point to, std::vector<CubicPiece>& out) {
  out.clear();
  const double sweep = static_cast<double>(arc.end) - arc.start;
  const int pieces =
      std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-4)));
  const double step = sweep / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4) * arc.radius;
  const double cx = arc.centre.x, cy = arc.centre.y, r = arc.radius;
  const auto at = [&](double a) {
    return Point{static_cast<float>(cx + r * std::cos(a)),
                 static_cast<float>(cy + r * std::sin(a))};
  };
  for (int i = 0; i < pieces; ++i) {
    const double a0 = arc.start + step * i, a1 = a0 + step;
    const Point p0 = at(a0);
    const Point p1 = i + 1 == pieces ? to : at(a1);
    // Tangents point along the direction of travel: k carries the sign of the sweep.
    out.push_back(
        {{static_cast<float>(p0.x - k * std::sin(a0)), static_cast<float>(p0.y + k * std::cos(a0))},
         {static_cast<float>(p1.x + k * std::sin(a1)), static_cast<float>(p1.y - k * std::cos(a1))},
         p1});
  }
}

}  // namespace lw
