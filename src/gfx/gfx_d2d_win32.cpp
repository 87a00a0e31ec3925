#include <dwmapi.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/utf8.h"
#include "gfx/d2d_context_win32.h"
#include "gfx/gfx_d2d.h"
#include "gfx/icon_path.h"
#include "gfx/layout_cache.h"
#include "gfx/polyline.h"

namespace lw {
namespace {

constexpr size_t layout_cache_capacity = 1024;

D2D1_COLOR_F colour(Color c) { return {c.r, c.g, c.b, c.a}; }
D2D1_RECT_F rect(Rect r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }
D2D1_POINT_2F point(Point p) { return {p.x, p.y}; }

std::wstring wide(std::string_view utf8) {
  const std::u16string u = utf16_from_utf8(utf8);
  return std::wstring(u.begin(), u.end());
}

// UTF-16 position of the character at index `chars`, clamped to the end.
UINT32 utf16_index(const std::wstring& s, size_t chars) {
  size_t i = 0;
  for (; chars > 0 && i < s.size(); --chars) {
    const bool pair = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
                      s[i + 1] <= 0xDFFF;
    i += pair ? 2 : 1;
  }
  return static_cast<UINT32>(i);
}

size_t char_index(const std::wstring& s, size_t utf16) {
  size_t chars = 0;
  for (size_t i = 0; i < std::min(utf16, s.size()); ++chars) {
    const bool pair = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
                      s[i + 1] <= 0xDFFF;
    i += pair ? 2 : 1;
  }
  return chars;
}

struct CachedLayout {
  ComPtr<IDWriteTextLayout> layout;
  std::wstring text;
  float left = 0;  // where the text starts in the box (alignment)
  float width = 0;
  float height = 0;
};

// Caret positions from the layout's clusters, for DirectWrite versions
// without hit testing (Wine's). A caret inside a cluster goes to its start.
std::vector<DWRITE_CLUSTER_METRICS> clusters(IDWriteTextLayout* l) {
  UINT32 count = 0;
  l->GetClusterMetrics(nullptr, 0, &count);
  std::vector<DWRITE_CLUSTER_METRICS> out(count);
  if (count == 0 || FAILED(l->GetClusterMetrics(out.data(), count, &count))) return {};
  out.resize(count);
  return out;
}

class D2dTextLayout final : public TextLayout {
 public:
  explicit D2dTextLayout(const CachedLayout& l) : l_(l) {}
  float width() const override { return l_.width; }
  float height() const override { return l_.height; }
  float caret_x(size_t index) const override {
    if (!l_.layout) return 0;
    const UINT32 position = utf16_index(l_.text, index);
    FLOAT x = 0, y = 0;
    DWRITE_HIT_TEST_METRICS m{};
    if (SUCCEEDED(l_.layout->HitTestTextPosition(position, FALSE, &x, &y, &m))) return x;
    float at = l_.left;
    UINT32 start = 0;
    for (const DWRITE_CLUSTER_METRICS& c : clusters(l_.layout.Get())) {
      if (start + c.length > position) break;
      at += c.width;
      start += c.length;
    }
    return at;
  }
  size_t index_at(float x) const override {
    if (!l_.layout) return 0;
    BOOL trailing = FALSE, inside = FALSE;
    DWRITE_HIT_TEST_METRICS m{};
    if (SUCCEEDED(l_.layout->HitTestPoint(x, l_.height / 2, &trailing, &inside, &m)))
      return char_index(l_.text, m.textPosition + (trailing ? m.length : 0));
    float at = l_.left;
    size_t position = 0;
    for (const DWRITE_CLUSTER_METRICS& c : clusters(l_.layout.Get())) {
      if (x < at + c.width / 2) break;
      at += c.width;
      position += c.length;
    }
    return char_index(l_.text, position);
  }

 private:
  CachedLayout l_;
};

// Builds an icon's figures into a Direct2D geometry sink. Arcs go in as
// Bezier segments: Wine's Direct2D does not draw arc segments, and the
// curves are the same to the eye.
class GeometrySink final : public PathSink {
 public:
  explicit GeometrySink(ID2D1GeometrySink* sink) : sink_(sink) {}
  void begin_figure(Point at) override {
    sink_->BeginFigure(point(at), D2D1_FIGURE_BEGIN_HOLLOW);
    at_ = at;
  }
  void line_to(Point to) override {
    sink_->AddLine(point(to));
    at_ = to;
  }
  void arc_to(Point to, float radius, bool clockwise, bool large) override {
    ArcCentre arc;
    switch (arc_centre(at_, to, radius, clockwise, large, arc)) {
      case ArcShape::arc:
        arc_beziers(arc, to, pieces_);
        for (const CubicPiece& p : pieces_) {
          const D2D1_BEZIER_SEGMENT b{point(p.c1), point(p.c2), point(p.to)};
          sink_->AddBezier(&b);
        }
        break;
      case ArcShape::line:
        sink_->AddLine(point(to));
        break;
      case ArcShape::none:
        break;
    }
    at_ = to;
  }
  void end_figure(bool closed) override {
    sink_->EndFigure(closed ? D2D1_FIGURE_END_CLOSED : D2D1_FIGURE_END_OPEN);
  }

 private:
  ID2D1GeometrySink* sink_;
  Point at_;
  std::vector<CubicPiece> pieces_;
};

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

class D2dGfxImpl final : public D2dGfx {
 public:
  D2dGfxImpl(HWND window, UINT dpi, std::unique_ptr<D2dContext> c)
      : window_(window), dpi_(dpi), c_(std::move(c)), layouts_(layout_cache_capacity) {}

  float scale() const override { return c_->text.scale; }

  Status resize(uint32_t width, uint32_t height) override {
    if (in_frame_) end_frame();
    return c_->resize(width, height);
  }

  Status set_dpi(uint32_t dpi) override {
    auto formats = make_text_formats(c_->dwrite.Get(), static_cast<float>(dpi) / 96.0f);
    if (!formats) return fail(formats.error());
    c_->text = std::move(*formats);
    dpi_ = dpi;
    layouts_.clear();
    return {};
  }

  FrameOutcome last_frame() const override { return outcome_; }
  void capture_frames(bool on) override { capture_ = on; }
  const FrameImage& last_capture() const override { return captured_; }

  void begin_frame(Color background) override {
    if (in_frame_ || !c_->target) return;
    c_->dc->SetTarget(c_->target.Get());
    c_->dc->BeginDraw();
    c_->dc->SetTransform(D2D1_MATRIX_3X2_F{1, 0, 0, 1, 0, 0});
    const D2D1_COLOR_F bg = colour(background);
    c_->dc->Clear(&bg);
    in_frame_ = true;
  }

  void end_frame() override {
    if (!in_frame_) return;
    for (; clip_depth_ > 0; --clip_depth_) c_->dc->PopAxisAlignedClip();
    HRESULT hr = c_->dc->EndDraw();
    c_->dc->SetTarget(nullptr);
    in_frame_ = false;
    if (hr == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
      rebuild();
      return;
    }
    if (capture_) capture();
    hr = c_->swap_chain->Present(1, 0);
    if (hr == DXGI_ERROR_DEVICE_REMOVED || hr == DXGI_ERROR_DEVICE_RESET) {
      rebuild();
      return;
    }
    outcome_ = FrameOutcome::presented;
  }

  void fill_rect(Rect r, Color c) override {
    if (!set_brush(c)) return;
    const D2D1_RECT_F d = rect(r);
    c_->dc->FillRectangle(&d, c_->brush.Get());
  }

  void fill_rounded_rect(Rect r, float radius, Color c) override {
    if (!set_brush(c)) return;
    const D2D1_ROUNDED_RECT d{rect(r), radius, radius};
    c_->dc->FillRoundedRectangle(&d, c_->brush.Get());
  }

  void stroke_rect(Rect r, float width, Color c) override {
    if (!set_brush(c)) return;
    const D2D1_RECT_F d = rect(r);
    c_->dc->DrawRectangle(&d, c_->brush.Get(), width, nullptr);
  }

  void stroke_rounded_rect(Rect r, float radius, float width, Color c) override {
    if (!set_brush(c)) return;
    const D2D1_ROUNDED_RECT d{rect(r), radius, radius};
    c_->dc->DrawRoundedRectangle(&d, c_->brush.Get(), width, nullptr);
  }

  void fill_circle(Point centre, float radius, Color c) override {
    if (!set_brush(c)) return;
    const D2D1_ELLIPSE e{point(centre), radius, radius};
    c_->dc->FillEllipse(&e, c_->brush.Get());
  }

  void line(Point from, Point to, float width, Color c) override {
    if (!set_brush(c)) return;
    c_->dc->DrawLine(point(from), point(to), c_->brush.Get(), width, nullptr);
  }

  void polyline(std::span<const Point> points, float width, Color c) override {
    if (!in_frame_ || points.size() < 2) return;
    thin_polyline(points, thinned_);
    if (thinned_.size() < 2 || !set_brush(c)) return;
    // Segment by segment with round caps, which meet as round joins. One
    // stroked path geometry would do the same, but Wine's Direct2D strokes
    // a dense zigzag path with spikes at its sharp turns.
    for (size_t i = 1; i < thinned_.size(); ++i)
      c_->dc->DrawLine(point(thinned_[i - 1]), point(thinned_[i]), c_->brush.Get(), width,
                       c_->stroke.Get());
  }

  void push_clip(Rect r) override {
    if (!in_frame_) return;
    const D2D1_RECT_F d = rect(r);
    c_->dc->PushAxisAlignedClip(&d, D2D1_ANTIALIAS_MODE_ALIASED);
    ++clip_depth_;
  }

  void pop_clip() override {
    if (!in_frame_ || clip_depth_ == 0) return;
    c_->dc->PopAxisAlignedClip();
    --clip_depth_;
  }

  void draw_text(std::string_view text, Rect r, Color c, TextFormat format, Align align) override {
    if (!in_frame_ || text.empty()) return;
    const CachedLayout* l = layout(text, r.w, format, align);
    if (l == nullptr) return;
    const float top = r.y + std::round((r.h - l->height) / 2);
    set_brush(c);
    c_->dc->DrawTextLayout({r.x, top}, l->layout.Get(), c_->brush.Get(),
                           D2D1_DRAW_TEXT_OPTIONS_CLIP);
  }

  float measure_text(std::string_view text, TextFormat format) override {
    const CachedLayout* l = layout(text, measure_width, format, Align::leading);
    return l == nullptr ? 0.0f : l->width;
  }

  std::unique_ptr<TextLayout> text_layout(std::string_view text, float max_width, TextFormat format,
                                          Align align) override {
    const CachedLayout* l = layout(text, max_width, format, align);
    if (l == nullptr) {
      // Layouts only fail when DirectWrite is out of memory; an empty one keeps callers simple.
      static const CachedLayout none;
      return std::make_unique<D2dTextLayout>(none);
    }
    return std::make_unique<D2dTextLayout>(*l);
  }

  void draw_icon(std::string_view path, Point centre, float size, Color c) override {
    if (!in_frame_) return;
    ID2D1PathGeometry* geometry = icon(path);
    if (geometry == nullptr) return;
    const float s = size / 20.0f;
    c_->dc->SetTransform(D2D1_MATRIX_3X2_F{s, 0, 0, s, centre.x - 10 * s, centre.y - 10 * s});
    set_brush(c);
    c_->dc->DrawGeometry(geometry, c_->brush.Get(), 1.6f, c_->stroke.Get());
    c_->dc->SetTransform(D2D1_MATRIX_3X2_F{1, 0, 0, 1, 0, 0});
  }

 private:
  bool set_brush(Color c) {
    if (!in_frame_) return false;
    const D2D1_COLOR_F d = colour(c);
    c_->brush->SetColor(&d);
    return true;
  }

  const CachedLayout* layout(std::string_view text, float max_width, TextFormat format,
                             Align align) {
    max_width = std::max(max_width, 1.0f);
    if (CachedLayout* hit = layouts_.find(text, max_width, format, align)) return hit;
    const size_t f = static_cast<size_t>(format);
    CachedLayout l;
    l.text = wide(text);
    if (FAILED(c_->dwrite->CreateTextLayout(l.text.data(), static_cast<UINT32>(l.text.size()),
                                            c_->text.formats[f].Get(), max_width, 1000.0f,
                                            l.layout.GetAddressOf())) ||
        !l.layout)
      return nullptr;
    l.layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    const DWRITE_TRIMMING trimming{DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
    l.layout->SetTrimming(&trimming, c_->text.ellipses[f].Get());
    l.layout->SetTextAlignment(align == Align::centre     ? DWRITE_TEXT_ALIGNMENT_CENTER
                               : align == Align::trailing ? DWRITE_TEXT_ALIGNMENT_TRAILING
                                                          : DWRITE_TEXT_ALIGNMENT_LEADING);
    DWRITE_TEXT_METRICS m{};
    l.layout->GetMetrics(&m);
    l.left = m.left;
    // Trailing blanks take room too ("→ " before a sent line's text);
    // DirectWrite leaves them out of the plain width.
    l.width = std::min(std::max(m.width, m.widthIncludingTrailingWhitespace), max_width);
    l.height = m.height;
    return &layouts_.insert(std::move(l));
  }

  // The icon's geometry, made on first use; nullptr (and nothing kept) when
  // it cannot be finished.
  ID2D1PathGeometry* icon(std::string_view path) {
    if (auto it = icons_.find(path); it != icons_.end()) return it->second.Get();
    ComPtr<ID2D1PathGeometry> geometry;
    ComPtr<ID2D1GeometrySink> sink;
    if (FAILED(c_->factory->CreatePathGeometry(geometry.GetAddressOf())) || !geometry)
      return nullptr;
    if (FAILED(geometry->Open(sink.GetAddressOf())) || !sink) return nullptr;
    GeometrySink figures(sink.Get());
    const bool parsed = parse_icon_path(path, figures);
    if (FAILED(sink->Close()) || !parsed) return nullptr;
    return icons_.emplace(std::string(path), std::move(geometry)).first->second.Get();
  }

  void capture() {
    ComPtr<ID3D11Texture2D> back;
    if (FAILED(c_->swap_chain->GetBuffer(0, __uuidof(ID3D11Texture2D),
                                         reinterpret_cast<void**>(back.GetAddressOf()))) ||
        !back)
      return;
    D3D11_TEXTURE2D_DESC desc{};
    back->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    ComPtr<ID3D11Texture2D> staging;
    if (FAILED(c_->device->CreateTexture2D(&desc, nullptr, staging.GetAddressOf())) || !staging)
      return;
    ComPtr<ID3D11DeviceContext> ctx;
    c_->device->GetImmediateContext(ctx.GetAddressOf());
    ctx->CopyResource(staging.Get(), back.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (FAILED(ctx->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped))) return;
    captured_.width = desc.Width;
    captured_.height = desc.Height;
    captured_.pixels.resize(size_t{desc.Width} * desc.Height);
    const auto* bytes = static_cast<const unsigned char*>(mapped.pData);
    for (UINT y = 0; y < desc.Height; ++y)
      std::memcpy(&captured_.pixels[size_t{y} * desc.Width], bytes + size_t{y} * mapped.RowPitch,
                  size_t{desc.Width} * 4);
    ctx->Unmap(staging.Get(), 0);
  }

  // After device loss: a new context replaces the old one only if it could be made.
  void rebuild() {
    auto fresh = make_d2d_context(window_, dpi_);
    if (!fresh) {
      outcome_ = FrameOutcome::rebuild_failed;
      return;
    }
    c_ = std::move(*fresh);
    layouts_.clear();
    icons_.clear();
    outcome_ = FrameOutcome::rebuilt;
  }

  HWND window_;
  UINT dpi_;
  std::unique_ptr<D2dContext> c_;
  bool in_frame_ = false;
  int clip_depth_ = 0;
  FrameOutcome outcome_ = FrameOutcome::presented;
  bool capture_ = false;
  FrameImage captured_;
  LayoutCache<CachedLayout> layouts_;
  std::unordered_map<std::string, ComPtr<ID2D1PathGeometry>, StringHash, std::equal_to<>> icons_;
  std::vector<Point> thinned_;
};

}  // namespace

Result<std::unique_ptr<D2dGfx>> create_d2d_gfx(void* window, uint32_t dpi) {
  const HWND hwnd = static_cast<HWND>(window);
  auto c = make_d2d_context(hwnd, dpi);
  if (!c) return fail(c.error());
  return std::unique_ptr<D2dGfx>(std::make_unique<D2dGfxImpl>(hwnd, dpi, std::move(*c)));
}

void set_dark_title_bar(void* window, bool dark) {
  const BOOL value = dark ? TRUE : FALSE;
  // DWMWA_USE_IMMERSIVE_DARK_MODE; older systems refuse it, which is fine.
  DwmSetWindowAttribute(static_cast<HWND>(window), 20, &value, sizeof value);
}

}  // namespace lw
