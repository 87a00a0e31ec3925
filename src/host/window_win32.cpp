// The "Linewick.Main" window: creation, placement, the window procedure and
// the message loop. Handlers reach the application only through the slot;
// a message that arrives while a handler runs (a nested loop of a popup or
// message box) is dropped as handled.
#include <windows.h>
// dbt.h needs windows.h first.
#include <dbt.h>

#include <cstring>

#include "gfx/theme.h"
#include "host/host_win32.h"
#include "host/window_poster_win32.h"
#include "host/window_rules_win32.h"
#include "settings/values.h"
#include "ui/paint.h"

namespace lw {

namespace {

// {86E0D1E0-8089-11D0-9CE4-08003E301F73}
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

constexpr int kIconResource = 1;

LPCWSTR int_resource(int id) {
  return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}
uint32_t low_word(uintptr_t v) { return static_cast<uint32_t>(v & 0xFFFF); }
uint32_t high_word(uintptr_t v) { return static_cast<uint32_t>((v >> 16) & 0xFFFF); }

uint32_t window_dpi(HWND window) { return effective_dpi(GetDpiForWindow(window)); }

PixelRect pixel_rect(const RECT& r) {
  return {static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
          static_cast<int32_t>(r.bottom)};
}

}  // namespace

bool Win32Host::create_window() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Host::window_proc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(instance_, int_resource(kIconResource));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, int_resource(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, int_resource(32512));  // IDC_ARROW
  wc.lpszClassName = kWindowClass;
  // A failed registration shows up as a failed creation.
  RegisterClassExW(&wc);
  CreateWindowExW(0, kWindowClass, L"Linewick", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                  kWindowWidth, kWindowHeight, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  poster_->attach(window_);
  dark_ = system_uses_dark_theme();
  set_dark_title_bar(window_, dark_);
  restore_placement();
  return true;
}

void Win32Host::restore_placement() {
  if (const std::optional<StoredPlacement> stored = usable_placement(placement(settings_))) {
    WINDOWPLACEMENT wp;
    std::memcpy(&wp, stored->bytes.data(), sizeof wp);
    // Twice: moving onto a monitor of another DPI rescales the window, and
    // the second call puts the stored rectangle back.
    SetWindowPlacement(window_, &wp);
    SetWindowPlacement(window_, &wp);
    show_command_ = stored->maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    return;
  }
  show_command_ = SW_SHOWNORMAL;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info)) return;
  const PixelRect r = centred_window_rect(pixel_rect(info.rcWork), window_dpi(window_));
  SetWindowPos(window_, nullptr, r.left, r.top, r.width(), r.height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Host::save_placement() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(window_, &wp)) return;
  std::vector<uint8_t> bytes(sizeof wp);
  std::memcpy(bytes.data(), &wp, sizeof wp);
  set_placement(settings_, bytes);
}

void Win32Host::create_gfx() {
  auto made = create_d2d_gfx(window_, window_dpi(window_));
  if (made) gfx_ = std::move(*made);
}

void Win32Host::register_device_notifications() {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = kComPortInterface;
  device_notification_ = RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void Win32Host::show() {
  ShowWindow(window_, show_command_);
  UpdateWindow(window_);
}

int Win32Host::run_loop() {
  MSG msg;
  for (;;) {
    // Timers first: WM_TIMER only comes when nothing else waits, and a
    // window that repaints behind every drained line on a slow renderer
    // always has a paint waiting, so the notice, drain and repeat timers
    // would never fire.
    if (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;  // returned whatever the filter
    } else if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK Win32Host::window_proc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* host = static_cast<Win32Host*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    host->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
  }
  auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (msg == WM_GETMINMAXINFO) {
    // Also arrives before WM_NCCREATE, so it needs nothing of the host.
    const PixelSize min = min_window_size(window_dpi(window));
    reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{min.width, min.height};
    return 0;
  }
  if (host == nullptr) return DefWindowProcW(window, msg, wp, lp);
  return host->handle(msg, wp, lp);
}

LRESULT Win32Host::default_proc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(window_, msg, wp, lp);
}

void Win32Host::after_handler() {
  if (slot_.state() == AppSlot::State::InUse) return;  // still inside a handler
  if (release_pending_) {
    release_pending_ = false;
    release_app();
  } else if (close_pending_) {
    close_pending_ = false;
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
  }
}

void Win32Host::release_app() {
  // The application can't go away under a handler that is still running.
  if (slot_.state() == AppSlot::State::InUse) {
    release_pending_ = true;
    return;
  }
  if (std::unique_ptr<App> app = slot_.take()) app->shut_down();
}

LRESULT Win32Host::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      if (slot_.state() == AppSlot::State::InUse) {
        close_pending_ = true;  // closed once the handler returns
        return 0;
      }
      save_placement();
      return default_proc(msg, wp, lp);
    case WM_DESTROY:
      destroyed();
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      return default_proc(msg, wp, lp);
    case WM_SIZE:
      if (gfx_)
        (void)gfx_->resize(low_word(static_cast<uintptr_t>(lp)),
                           high_word(static_cast<uintptr_t>(lp)));
      request_repaint();
      return 0;
    case WM_DPICHANGED: {
      if (gfx_) (void)gfx_->set_dpi(effective_dpi(low_word(wp)));
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(window_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      request_repaint();
      return 0;
    }
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTINGCHANGE:
      follow_theme();
      return 0;
    case WM_TIMER:
      // Under Wine the frames presented before the X window is mapped (and
      // its drawable moved on screen) are lost, and nothing asks for a paint
      // afterwards; the drain ticks of the first seconds paint again.
      if (wp == kTimerDrain && early_repaints_ > 0) {
        --early_repaints_;
        request_repaint();
      }
      timer(static_cast<int>(wp));
      after_handler();
      return 0;
    case WM_DEVICECHANGE:
      if (!is_port_device_change(wp)) return default_proc(msg, wp, lp);
      // While a handler runs the rescan timer is armed directly.
      if (!run_handler([](App& a) { a.on_device_change(); })) {
        start_timer(kTimerRescan, kRescanDelayMs);
      }
      return TRUE;
    default:
      break;
  }
  if (const std::optional<LRESULT> r = handle_input(msg, wp, lp)) {
    after_handler();
    return *r;
  }
  if (const std::optional<int> number = app_message_number(msg)) {
    const bool handled =
        slot_.message(AppMessage{*number, static_cast<uint64_t>(wp), static_cast<int64_t>(lp)});
    after_handler();
    if (handled) return 0;
  }
  return default_proc(msg, wp, lp);
}

void Win32Host::paint() {
  PAINTSTRUCT ps;
  BeginPaint(window_, &ps);
  if (gfx_) run_handler([&](App& app) { paint_with(app); });
  EndPaint(window_, &ps);
}

void Win32Host::paint_with(App& app) {
  RECT client{};
  GetClientRect(window_, &client);
  const auto width = static_cast<float>(client.right - client.left);
  const auto height = static_cast<float>(client.bottom - client.top);
  set_dark_theme(app, dark_);
  paint_window(app, *gfx_, width, height);
  // A lost device was rebuilt without presenting: draw again.
  if (gfx_->last_frame() == FrameOutcome::rebuilt) request_repaint();
}

void Win32Host::paint_now() {
  // The swap chain keeps what was presented, so the frame presented here
  // stays while the nested loop's paints find the application busy.
  App* app = slot_.running();
  if (app == nullptr || !gfx_ || window_ == nullptr) return;
  paint_with(*app);
  ValidateRect(window_, nullptr);
}

void Win32Host::follow_theme() {
  const bool dark = system_uses_dark_theme();
  if (dark != dark_) {
    dark_ = dark;
    set_dark_title_bar(window_, dark_);
  }
  request_repaint();
}

void Win32Host::destroyed() {
  poster_->close();  // readers still running post into nothing from now on
  if (device_notification_ != nullptr) UnregisterDeviceNotification(device_notification_);
  device_notification_ = nullptr;
  release_app();
  gfx_.reset();
  PostQuitMessage(0);
}

}  // namespace lw
