#include "gfx/d2d_context_win32.h"

#include <algorithm>

#include "gfx/text_formats.h"

namespace lw {
namespace {

const wchar_t* family(FontFace face) { return face == FontFace::mono ? L"Consolas" : L"Segoe UI"; }

Result<ComPtr<ID3D11Device>> make_device(D3D_DRIVER_TYPE type) {
  ComPtr<ID3D11Device> device;
  const HRESULT hr =
      D3D11CreateDevice(nullptr, type, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT, nullptr, 0,
                        D3D11_SDK_VERSION, device.GetAddressOf(), nullptr, nullptr);
  if (Status s = check_call(hr, device.Get(), "D3D11CreateDevice"); !s) return fail(s.error());
  return device;
}

}  // namespace

Status check_call(HRESULT hr, const void* made, const char* call) {
  if (SUCCEEDED(hr) && made == nullptr) hr = E_POINTER;
  if (FAILED(hr)) return fail(Error{static_cast<int>(hr), call});
  return {};
}

Result<TextFormats> make_text_formats(IDWriteFactory* dwrite, float scale) {
  TextFormats out;
  out.scale = scale;
  for (size_t i = 0; i < text_format_specs.size(); ++i) {
    const TextFormatSpec& format = text_format_specs[i];
    HRESULT hr = dwrite->CreateTextFormat(family(format.face), nullptr,
                                          static_cast<DWRITE_FONT_WEIGHT>(format.weight),
                                          DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                          format.size * scale, L"", out.formats[i].GetAddressOf());
    if (Status s = check_call(hr, out.formats[i].Get(), "CreateTextFormat"); !s)
      return fail(s.error());
    hr = dwrite->CreateEllipsisTrimmingSign(out.formats[i].Get(), out.ellipses[i].GetAddressOf());
    if (Status s = check_call(hr, out.ellipses[i].Get(), "CreateEllipsisTrimmingSign"); !s)
      return fail(s.error());
  }
  return out;
}

Status D2dContext::wrap_back_buffer() {
  ComPtr<IDXGISurface> surface;
  HRESULT hr = swap_chain->GetBuffer(0, __uuidof(IDXGISurface),
                                     reinterpret_cast<void**>(surface.GetAddressOf()));
  if (Status s = check_call(hr, surface.Get(), "IDXGISwapChain1::GetBuffer"); !s) return s;
  D2D1_BITMAP_PROPERTIES1 props{};
  props.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE};
  props.dpiX = 96;
  props.dpiY = 96;
  props.bitmapOptions = D2D1_BITMAP_OPTIONS_TARGET | D2D1_BITMAP_OPTIONS_CANNOT_DRAW;
  hr = dc->CreateBitmapFromDxgiSurface(surface.Get(), &props, target.ReleaseAndGetAddressOf());
  return check_call(hr, target.Get(), "CreateBitmapFromDxgiSurface");
}

Status D2dContext::resize(UINT width, UINT height) {
  dc->SetTarget(nullptr);
  target.Reset();
  const HRESULT hr = swap_chain->ResizeBuffers(0, std::max(width, 1u), std::max(height, 1u),
                                               DXGI_FORMAT_UNKNOWN, 0);
  if (Status s = check_call(hr, this, "IDXGISwapChain1::ResizeBuffers"); !s) return s;
  return wrap_back_buffer();
}

Result<std::unique_ptr<D2dContext>> make_d2d_context(HWND window, UINT dpi) {
  auto c = std::make_unique<D2dContext>();

  // 1. Factories.
  D2D1_FACTORY_OPTIONS options{D2D1_DEBUG_LEVEL_NONE};
  HRESULT hr = D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory1),
                                 &options, reinterpret_cast<void**>(c->factory.GetAddressOf()));
  if (Status s = check_call(hr, c->factory.Get(), "D2D1CreateFactory"); !s) return fail(s.error());
  hr = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                           reinterpret_cast<IUnknown**>(c->dwrite.GetAddressOf()));
  if (Status s = check_call(hr, c->dwrite.Get(), "DWriteCreateFactory"); !s) return fail(s.error());

  // 2. The Direct3D device: the hardware one, else WARP.
  auto device = make_device(D3D_DRIVER_TYPE_HARDWARE);
  if (!device) {
    device = make_device(D3D_DRIVER_TYPE_WARP);
    if (!device) return fail(device.error());
    c->warp = true;
  }
  c->device = std::move(*device);

  // 3. One frame in flight at most; not every driver allows it.
  ComPtr<IDXGIDevice> dxgi;
  hr = c->device.As(&dxgi);
  if (Status s = check_call(hr, dxgi.Get(), "IDXGIDevice"); !s) return fail(s.error());
  if (ComPtr<IDXGIDevice1> dxgi1; SUCCEEDED(c->device.As(&dxgi1)) && dxgi1)
    dxgi1->SetMaximumFrameLatency(1);

  // 4. Direct2D device and its context, drawing in pixels.
  ComPtr<ID2D1Device> d2d_device;
  hr = c->factory->CreateDevice(dxgi.Get(), d2d_device.GetAddressOf());
  if (Status s = check_call(hr, d2d_device.Get(), "ID2D1Factory1::CreateDevice"); !s)
    return fail(s.error());
  hr = d2d_device->CreateDeviceContext(D2D1_DEVICE_CONTEXT_OPTIONS_NONE, c->dc.GetAddressOf());
  if (Status s = check_call(hr, c->dc.Get(), "CreateDeviceContext"); !s) return fail(s.error());
  c->dc->SetDpi(96, 96);
  c->dc->SetTextAntialiasMode(D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE);

  // 5. The swap chain for the window.
  ComPtr<IDXGIAdapter> adapter;
  hr = dxgi->GetAdapter(adapter.GetAddressOf());
  if (Status s = check_call(hr, adapter.Get(), "IDXGIDevice::GetAdapter"); !s)
    return fail(s.error());
  ComPtr<IDXGIFactory2> dxgi_factory;
  hr = adapter->GetParent(__uuidof(IDXGIFactory2),
                          reinterpret_cast<void**>(dxgi_factory.GetAddressOf()));
  if (Status s = check_call(hr, dxgi_factory.Get(), "IDXGIFactory2"); !s) return fail(s.error());
  RECT client{};
  GetClientRect(window, &client);
  DXGI_SWAP_CHAIN_DESC1 desc{};
  desc.Width = static_cast<UINT>(std::max(client.right - client.left, 1L));
  desc.Height = static_cast<UINT>(std::max(client.bottom - client.top, 1L));
  desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
  desc.Stereo = FALSE;
  desc.SampleDesc = {1, 0};
  desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
  desc.BufferCount = 2;
  desc.Scaling = DXGI_SCALING_NONE;
  desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
  desc.AlphaMode = DXGI_ALPHA_MODE_IGNORE;
  desc.Flags = 0;
  hr = dxgi_factory->CreateSwapChainForHwnd(c->device.Get(), window, &desc, nullptr, nullptr,
                                            c->swap_chain.GetAddressOf());
  if (Status s = check_call(hr, c->swap_chain.Get(), "CreateSwapChainForHwnd"); !s)
    return fail(s.error());
  hr = dxgi_factory->MakeWindowAssociation(window, DXGI_MWA_NO_ALT_ENTER);
  if (Status s = check_call(hr, c.get(), "MakeWindowAssociation"); !s) return fail(s.error());

  // 6. The one brush.
  hr = c->dc->CreateSolidColorBrush(
      D2D1_COLOR_F{0, 0, 0, 1}, D2D1_BRUSH_PROPERTIES{1.0f, D2D1_MATRIX_3X2_F{1, 0, 0, 1, 0, 0}},
      c->brush.GetAddressOf());
  if (Status s = check_call(hr, c->brush.Get(), "CreateSolidColorBrush"); !s)
    return fail(s.error());

  // 7. Text formats at the window's scale.
  auto formats = make_text_formats(c->dwrite.Get(), static_cast<float>(dpi) / 96.0f);
  if (!formats) return fail(formats.error());
  c->text = std::move(*formats);

  // 8. Round caps and joins for icons and series; without it they get the default.
  const D2D1_STROKE_STYLE_PROPERTIES stroke{D2D1_CAP_STYLE_ROUND,
                                            D2D1_CAP_STYLE_ROUND,
                                            D2D1_CAP_STYLE_FLAT,
                                            D2D1_LINE_JOIN_ROUND,
                                            10.0f,
                                            D2D1_DASH_STYLE_SOLID,
                                            0.0f};
  if (FAILED(c->factory->CreateStrokeStyle(&stroke, nullptr, 0, c->stroke.GetAddressOf())))
    c->stroke.Reset();

  // 9. The target bitmap.
  if (Status s = c->wrap_back_buffer(); !s) return fail(s.error());
  return c;
}

}  // namespace lw
