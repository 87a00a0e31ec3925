#pragma once
// The Windows host: the one "Linewick.Main" window, its message loop, the
// Win32 timers and posted messages, and the platform services the
// application asks for. Start-up calls the steps in order (see main_win32).
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "app/host.h"
#include "gfx/gfx_d2d.h"
#include "host/app_slot.h"
#include "settings/settings.h"

namespace lw {

inline constexpr wchar_t kWindowClass[] = L"Linewick.Main";

class WindowPoster;
struct View;

class Win32Host final : public Host {
 public:
  Win32Host(HINSTANCE instance, Settings& settings);
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  // --- start-up ---
  // Registers the class, creates the window (hidden), sets the title bar to
  // the system's theme and restores the stored placement or centres the
  // window. False when there is no window: the program then ends quietly.
  bool create_window();
  // The graphics context for the window's DPI. Without one the window
  // stays up and only its drawing is missing.
  void create_gfx();
  void install(std::unique_ptr<App> app) { slot_.install(std::move(app)); }
  // COM-port interface notifications; a failure leaves only the broadcast
  // device-change events.
  void register_device_notifications();
  // Shows the window maximised or normally, as the placement said.
  void show();
  // Runs until the window is destroyed; returns the exit code.
  int run_loop();

  HWND window() const { return window_; }
  AppSlot& slot() { return slot_; }

  // Runs f with the application as every window handler does: only when
  // it is free; then whatever came meanwhile (a close, a destroy) is
  // carried out. Returns whether f ran.
  template <class F>
  bool run_handler(F&& f) {
    const bool ran = slot_.with(std::forward<F>(f));
    after_handler();
    return ran;
  }

  // --- Host ---
  Clock& clock() override;
  void start_timer(int id, int period_ms) override;
  void stop_timer(int id) override;
  std::shared_ptr<MessagePoster> poster() override;
  void request_repaint() override;
  void paint_now() override;
  void beep_exclamation() override;
  void set_clipboard_text(const std::string& text) override;
  std::optional<std::string> clipboard_text() override;
  void open_file(const std::filesystem::path& file) override;
  void open_folder(const std::filesystem::path& folder,
                   const std::optional<std::filesystem::path>& selected) override;
  void open_url(const std::string& url) override;
  void quit() override;
  std::optional<int> popup_menu(const std::vector<MenuItem>& items, float x, float y) override;
  void message_box(const std::string& caption, const std::string& text) override;
  bool ask_yes_no(const std::string& caption, const std::string& text) override;
  std::optional<SaveChoice> choose_save_file(const SaveDialogSetup& setup) override;
  std::optional<std::filesystem::path> choose_open_file(const OpenDialogSetup& setup) override;
  void place_ime(float x, float y) override;

 private:
  static LRESULT CALLBACK window_proc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT default_proc(UINT msg, WPARAM wp, LPARAM lp);
  // Mouse, keyboard and input-method messages (window_input_win32.cpp);
  // none when msg is not one of them.
  std::optional<LRESULT> handle_input(UINT msg, WPARAM wp, LPARAM lp);
  // Runs f with the application as the window's input sees it, when the
  // application is free (never from a nested loop); run_input then repaints.
  bool with_view(const std::function<void(View&)>& f);
  bool run_input(const std::function<void(View&)>& f);
  void timer(int id);
  void ime_composition(LPARAM lp);

  void restore_placement();
  void save_placement();
  void paint();
  void paint_with(App& app);
  void follow_theme();
  void destroyed();
  void after_handler();
  void release_app();

  HINSTANCE instance_;
  Settings& settings_;
  HWND window_ = nullptr;
  int show_command_ = SW_SHOWNORMAL;
  bool dark_ = false;
  std::unique_ptr<D2dGfx> gfx_;
  std::shared_ptr<WindowPoster> poster_;
  HDEVNOTIFY device_notification_ = nullptr;
  AppSlot slot_;
  bool close_pending_ = false;
  bool release_pending_ = false;
  int early_repaints_ = 50;  // drain ticks, 10 s

  bool left_held_ = false;       // between a left press and its release
  bool tracking_leave_ = false;  // TrackMouseEvent asked for WM_MOUSELEAVE
  bool composing_ = false;       // a composition string was shown
  POINT pointer_{};              // the last client point of the mouse
};

}  // namespace lw
