// The window's input on Windows: mouse, wheel, keys, typed characters and
// the input method's composition, turned into the calls of ui/input.h.
// Every call goes through the application slot, so a message that a popup
// menu's or message box's nested loop delivers never reaches the
// application.
#include <windows.h>
// imm.h needs windows.h first.
#include <imm.h>

#include <string>

#include "base/utf8.h"
#include "host/host_win32.h"
#include "host/window_timer.h"
#include "ui/input/input.h"

namespace lw {
namespace {

Key key_for_virtual_key(WPARAM vk) {
  switch (vk) {
    case VK_RETURN:
      return Key::enter;
    case VK_ESCAPE:
      return Key::escape;
    case VK_TAB:
      return Key::tab;
    case VK_BACK:
      return Key::backspace;
    case VK_DELETE:
      return Key::del;
    case VK_LEFT:
      return Key::left;
    case VK_RIGHT:
      return Key::right;
    case VK_UP:
      return Key::up;
    case VK_DOWN:
      return Key::down;
    case VK_HOME:
      return Key::home;
    case VK_END:
      return Key::end;
    case VK_PRIOR:
      return Key::page_up;
    case VK_NEXT:
      return Key::page_down;
    case VK_F3:
      return Key::f3;
    case 'A':
      return Key::a;
    case 'C':
      return Key::c;
    case 'F':
      return Key::f;
    case 'M':
      return Key::m;
    case 'S':
      return Key::s;
    case 'V':
      return Key::v;
    case 'W':
      return Key::w;
    case 'X':
      return Key::x;
    case 'L':
      return Key::l;
    default:
      return Key::other;
  }
}

// Client coordinates are signed: a captured mouse reports points left of
// and above the window as negative.
POINT client_point(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}
Point to_point(POINT p) { return Point{static_cast<float>(p.x), static_cast<float>(p.y)}; }

// Ctrl and Shift as they were when the message was generated.
Modifiers key_modifiers() {
  return Modifiers{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0};
}
Modifiers mouse_modifiers(WPARAM wp) {
  return Modifiers{(wp & MK_CONTROL) != 0, (wp & MK_SHIFT) != 0};
}

// One of the input context's strings (GCS_RESULTSTR, GCS_COMPSTR).
std::u32string composition_string(HIMC imc, DWORD which) {
  const LONG bytes = ImmGetCompositionStringW(imc, which, nullptr, 0);
  if (bytes <= 0) return {};
  std::u16string units(static_cast<size_t>(bytes) / sizeof(char16_t), u'\0');
  ImmGetCompositionStringW(imc, which, units.data(), static_cast<DWORD>(bytes));
  return utf32_from_utf8(utf8_from_utf16(units));
}

}  // namespace

bool Win32Host::with_view(const std::function<void(View&)>& f) {
  if (window_ == nullptr || !gfx_) return false;
  RECT client{};
  GetClientRect(window_, &client);
  const auto width = static_cast<float>(client.right - client.left);
  const auto height = static_cast<float>(client.bottom - client.top);
  return slot_.with([&](App& app) {
    View v{app, *gfx_, width, height};
    f(v);
  });
}

bool Win32Host::run_input(const std::function<void(View&)>& f) {
  const bool ran = with_view(f);
  if (ran) request_repaint();
  return ran;
}

void Win32Host::timer(int id) {
  route_timer(slot_, *this, id, [this](const auto& f) { return with_view(f); });
}

void Win32Host::ime_composition(LPARAM lp) {
  HIMC imc = ImmGetContext(window_);
  if (imc == nullptr) return;
  const bool was_composing = composing_;
  std::optional<std::u32string> result;
  std::optional<std::u32string> composition;
  if (lp & GCS_RESULTSTR) result = composition_string(imc, GCS_RESULTSTR);
  if (lp & GCS_COMPSTR) {
    composition = composition_string(imc, GCS_COMPSTR);
  } else if (!result) {
    composition.emplace();  // neither string: the composition was cancelled
  }
  ImmReleaseContext(window_, imc);
  // An empty composition only matters while one is shown and no result has
  // just replaced it.
  if (composition && composition->empty() && (result || !was_composing)) composition.reset();
  if (result) composing_ = false;
  if (composition) composing_ = !composition->empty();
  if (!result && !composition) return;
  run_input([&](View& v) {
    if (result) on_ime_result(v, *result);
    if (composition) on_ime_composition(v, *composition);
  });
}

std::optional<LRESULT> Win32Host::handle_input(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (!tracking_leave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window_;
        tracking_leave_ = TrackMouseEvent(&track) != 0;
      }
      pointer_ = client_point(lp);
      const Point p = to_point(pointer_);
      run_input([&](View& v) { on_mouse_move(v, p); });
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      if (!left_held_) run_input([](View& v) { on_mouse_leave(v); });
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window_);
      pointer_ = client_point(lp);
      const Point p = to_point(pointer_);
      const Modifiers m = mouse_modifiers(wp);
      left_held_ = true;
      SetCapture(window_);
      run_input([&](View& v) { on_left_down(v, p, m); });
      return 0;
    }
    case WM_LBUTTONUP: {
      pointer_ = client_point(lp);
      const Point p = to_point(pointer_);
      const bool was_held = left_held_;
      left_held_ = false;  // before ReleaseCapture, whose WM_CAPTURECHANGED ends nothing then
      ReleaseCapture();
      if (was_held) run_input([&](View& v) { on_left_up(v, p); });
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Someone else took the mouse while the button was down: the press
      // ends where the mouse was last seen.
      if (left_held_ && reinterpret_cast<HWND>(lp) != window_) {
        left_held_ = false;
        const Point p = to_point(pointer_);
        run_input([&](View& v) { on_left_up(v, p); });
      }
      return 0;
    case WM_RBUTTONUP: {
      const Point p = to_point(client_point(lp));
      run_input([&](View& v) { on_right_click(v, p); });
      return 0;
    }
    case WM_MOUSEWHEEL: {
      POINT at = client_point(lp);  // screen coordinates for the wheel
      ScreenToClient(window_, &at);
      const Point p = to_point(at);
      const int delta = GET_WHEEL_DELTA_WPARAM(wp);
      run_input([&](View& v) { on_wheel(v, p, delta); });
      return 0;
    }
    case WM_KEYDOWN: {
      const Key key = key_for_virtual_key(wp);
      const Modifiers m = key_modifiers();
      bool handled = false;
      if (!run_input([&](View& v) { handled = on_key_down(v, key, m); })) return 0;
      if (handled) return 0;
      return default_proc(msg, wp, lp);
    }
    case WM_CHAR: {
      const auto unit = static_cast<char16_t>(wp);
      run_input([&](View& v) { on_char(v, unit); });
      return 0;
    }
    case WM_SYSCHAR:
      // Alt+Space still opens the window menu; other Alt letters name no
      // menu here and would only beep.
      if (wp == L' ') return default_proc(msg, wp, lp);
      return 0;
    case WM_IME_STARTCOMPOSITION:
      // The composition is drawn in the field itself, not in the IME's own
      // window.
      return 0;
    case WM_IME_COMPOSITION:
      // Not passed on: the default procedure would also type the result as
      // WM_IME_CHAR / WM_CHAR.
      ime_composition(lp);
      return 0;
    case WM_IME_ENDCOMPOSITION:
      if (composing_) {
        composing_ = false;
        run_input([](View& v) { on_ime_composition(v, U""); });
      }
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace lw
