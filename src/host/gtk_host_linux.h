#pragma once
// The Linux window host: one GtkWindow with one GtkDrawingArea that the
// cairo Gfx paints, timers and posted messages on the GLib main loop, and
// the platform's clipboard, bell and file actions.
//
// Life of the window: the host makes it (hidden) with its saved size, the
// program builds the App and installs it in slot(), then show() and
// gtk_main(). Closing (the window manager, quit(), or a signal through
// quit()) saves the size in "Placement", shuts the App down, takes it out of
// the slot and ends gtk_main.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/host.h"
#include "gfx/gfx.h"
#include "host/app_slot.h"
#include "host/glib_loop_linux.h"
#include "host/wheel_steps.h"
#include "host/window_size.h"
#include "settings/settings.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _GDBusConnection GDBusConnection;
typedef struct _GtkIMContext GtkIMContext;

namespace lw {

class CairoGfx;
struct View;

inline constexpr int kDefaultWidthDip = 1180;
inline constexpr int kDefaultHeightDip = 760;
inline constexpr int kMinWidthDip = 900;
inline constexpr int kMinHeightDip = 560;

class GtkHost final : public Host {
 public:
  // GTK must be initialised. settings must outlive the host.
  explicit GtkHost(Settings& settings);
  ~GtkHost() override;
  GtkHost(const GtkHost&) = delete;
  GtkHost& operator=(const GtkHost&) = delete;

  // --- Host ---
  Clock& clock() override { return system_clock(); }
  void start_timer(int id, int period_ms) override { timers_.start(id, period_ms); }
  void stop_timer(int id) override { timers_.stop(id); }
  std::shared_ptr<MessagePoster> poster() override { return poster_; }
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

  AppSlot& slot() { return slot_; }
  // Shows the window, maximised when it was closed maximised.
  void show();
  // A device-change event (udev, inotify): rescan after the burst.
  void device_changed();

  // What the painter needs to know about the window.
  float scale() const { return scale_; }  // device pixels per DIP
  bool dark() const { return dark_; }
  bool closed() const { return window_ == nullptr; }

 private:
  struct Signals;
  struct Input;  // the pointer, key and input-method signals
  void connect_input();
  void release_input();
  // Runs f with the application as the window's input sees it, when the
  // application is free (never from a nested loop); run_input then repaints.
  bool with_view(const std::function<void(View&)>& f);
  bool run_input(const std::function<void(View&)>& f);
  int device_scale() const;  // GDK's surface scale, at least 1
  bool has_preedit() const;
  void timer(int id);
  void restore_size();
  void update_scale();
  void follow_theme();
  // Sets gtk-application-prefer-dark-theme, keeping the desktop's own value
  // the first time.
  void set_prefer_dark(bool dark);
  void watch_portal();
  void draw(cairo_t* cr);
  // Paints the frame image; false when the application is busy.
  bool render(App* app);
  void remember_size();
  // Placement is saved and the window may go; false while a handler is on
  // the stack (a nested loop), and the close is retried shortly.
  bool ready_to_close();
  void retry_close();
  void close_now();
  void finish();

  Settings& settings_;
  GLibTimers timers_;
  std::shared_ptr<GLibPoster> poster_;
  AppSlot slot_;
  std::unique_ptr<CairoGfx> gfx_;

  GtkWidget* window_ = nullptr;
  GtkWidget* area_ = nullptr;
  cairo_surface_t* frame_ = nullptr;  // device pixels, painted then shown
  GDBusConnection* bus_ = nullptr;
  unsigned portal_subscription_ = 0;
  unsigned long settings_handlers_[3] = {0, 0, 0};  // on GtkSettings, which outlives us

  float scale_ = 1;
  float text_factor_ = 1;  // Xft DPI / 96, at least 1
  bool dark_ = false;
  std::optional<bool> desktop_prefer_dark_;  // before we set it; none while untouched
  bool adjusting_theme_ = false;
  WindowSize normal_size_;  // the last size while neither maximised nor full screen
  bool maximised_ = false;
  bool not_normal_ = false;  // maximised, full screen or tiled
  bool placement_saved_ = false;
  bool finished_ = false;
  unsigned close_source_ = 0;

  GtkIMContext* im_ = nullptr;
  bool composing_ = false;  // a preedit was shown since the last commit
  bool left_held_ = false;  // between a left press and its release
  float pointer_x_ = 0;     // the last pointer position, device pixels
  float pointer_y_ = 0;
  WheelSteps wheel_;
};

}  // namespace lw
