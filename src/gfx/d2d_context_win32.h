#pragma once
// The Direct2D objects bound to one window, built in one go and rebuilt
// whole after device loss.
#include <d2d1_1.h>
#include <d3d11.h>
#include <dwrite.h>
#include <dxgi1_2.h>
#include <windows.h>
#include <wrl/client.h>

#include <array>
#include <memory>

#include "base/result.h"

namespace lw {

using Microsoft::WRL::ComPtr;

// The error for a failed call; a call that succeeded but gave back no
// object counts as failed too.
Status check_call(HRESULT hr, const void* made, const char* call);

// The five formats at one scale, each with its ellipsis trimming sign.
struct TextFormats {
  float scale = 1;
  std::array<ComPtr<IDWriteTextFormat>, 5> formats;
  std::array<ComPtr<IDWriteInlineObject>, 5> ellipses;
};

Result<TextFormats> make_text_formats(IDWriteFactory* dwrite, float scale);

struct D2dContext {
  ComPtr<ID2D1Factory1> factory;
  ComPtr<IDWriteFactory> dwrite;
  ComPtr<ID3D11Device> device;
  ComPtr<IDXGISwapChain1> swap_chain;
  ComPtr<ID2D1DeviceContext> dc;
  ComPtr<ID2D1SolidColorBrush> brush;
  ComPtr<ID2D1Bitmap1> target;
  TextFormats text;
  ComPtr<ID2D1StrokeStyle> stroke;  // absent if it could not be made
  bool warp = false;                // the hardware device failed

  // Drops the target, resizes the buffers (at least 1 x 1, count and format
  // kept) and wraps the new back buffer.
  Status resize(UINT width, UINT height);
  // Wraps back buffer 0 as the target bitmap.
  Status wrap_back_buffer();
};

Result<std::unique_ptr<D2dContext>> make_d2d_context(HWND window, UINT dpi);

}  // namespace lw
