#include "host/gtk_host_linux.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

#include "files/shell.h"
#include "gfx/gfx_cairo.h"
#include "gfx/palette.h"
#include "gfx/theme_linux.h"
#include "host/window_timer.h"
#include "settings/values.h"
#include "ui/input.h"
#include "ui/paint.h"

namespace lw {
namespace {

constexpr double kDefaultHeightShare = 0.82;  // of the work area, without a saved size
constexpr guint kCloseRetryMs = 50;
constexpr GdkWindowState kNotNormal = static_cast<GdkWindowState>(
    GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN | GDK_WINDOW_STATE_TILED);

int dips(double dip, double factor) { return static_cast<int>(std::lround(dip * factor)); }

// The work area of the monitor the window will open on, in GTK's logical
// pixels.
std::optional<GdkRectangle> work_area(GtkWidget* window) {
  GdkDisplay* display = gtk_widget_get_display(window);
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0)
    monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return std::nullopt;
  GdkRectangle r{};
  gdk_monitor_get_workarea(monitor, &r);
  if (r.width <= 0 || r.height <= 0) return std::nullopt;
  return r;
}

}  // namespace

// GTK's and GDBus's callbacks, with access to the host.
struct GtkHost::Signals {
  static gboolean draw(GtkWidget*, cairo_t* cr, gpointer self) {
    static_cast<GtkHost*>(self)->draw(cr);
    return TRUE;
  }
  static void scale_changed(GObject*, GParamSpec*, gpointer self) {
    static_cast<GtkHost*>(self)->update_scale();
  }
  static void theme_changed(GObject*, GParamSpec*, gpointer self) {
    static_cast<GtkHost*>(self)->follow_theme();
  }
  static void portal_changed(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                             const gchar*, GVariant*, gpointer self) {
    static_cast<GtkHost*>(self)->follow_theme();
  }
  static gboolean configure(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<GtkHost*>(self)->remember_size();
    return FALSE;
  }
  static gboolean window_state(GtkWidget*, GdkEventWindowState* e, gpointer self) {
    auto* h = static_cast<GtkHost*>(self);
    h->maximised_ = (e->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    h->not_normal_ = (e->new_window_state & kNotNormal) != 0;
    return FALSE;
  }
  static gboolean delete_event(GtkWidget*, GdkEvent*, gpointer self) {
    auto* h = static_cast<GtkHost*>(self);
    if (h->ready_to_close()) return FALSE;  // GTK destroys the window
    h->retry_close();
    return TRUE;
  }
  static void destroy(GtkWidget*, gpointer self) { static_cast<GtkHost*>(self)->finish(); }
  static gboolean close_later(gpointer self) {
    auto* h = static_cast<GtkHost*>(self);
    h->close_source_ = 0;
    h->close_now();
    return G_SOURCE_REMOVE;
  }
};

GtkHost::GtkHost(Settings& settings)
    : settings_(settings),
      timers_([this](int id) { timer(id); }),
      poster_(GLibPoster::create([this](const AppMessage& m) { slot_.message(m); })) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), "Linewick");
  gtk_window_set_icon_name(GTK_WINDOW(window_), "linewick");
  area_ = gtk_drawing_area_new();
  gtk_container_add(GTK_CONTAINER(window_), area_);

  g_signal_connect(area_, "draw", G_CALLBACK(Signals::draw), this);
  g_signal_connect(area_, "notify::scale-factor", G_CALLBACK(Signals::scale_changed), this);
  g_signal_connect(window_, "configure-event", G_CALLBACK(Signals::configure), this);
  g_signal_connect(window_, "window-state-event", G_CALLBACK(Signals::window_state), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(Signals::delete_event), this);
  g_signal_connect(window_, "destroy", G_CALLBACK(Signals::destroy), this);

  GtkSettings* gs = gtk_settings_get_default();
  settings_handlers_[0] =
      g_signal_connect(gs, "notify::gtk-xft-dpi", G_CALLBACK(Signals::scale_changed), this);
  settings_handlers_[1] = g_signal_connect(gs, "notify::gtk-application-prefer-dark-theme",
                                           G_CALLBACK(Signals::theme_changed), this);
  settings_handlers_[2] =
      g_signal_connect(gs, "notify::gtk-theme-name", G_CALLBACK(Signals::theme_changed), this);

  connect_input();

  update_scale();
  gfx_ = create_cairo_gfx(scale_);
  restore_size();
  follow_theme();
  watch_portal();
}

GtkHost::~GtkHost() {
  if (close_source_ != 0) g_source_remove(close_source_);
  if (window_ != nullptr) gtk_widget_destroy(window_);  // runs finish()
  GtkSettings* gs = gtk_settings_get_default();
  for (gulong& id : settings_handlers_) {
    if (id != 0 && gs != nullptr) g_signal_handler_disconnect(gs, id);
    id = 0;
  }
  if (bus_ != nullptr) {
    if (portal_subscription_ != 0) g_dbus_connection_signal_unsubscribe(bus_, portal_subscription_);
    g_object_unref(bus_);
  }
  if (frame_ != nullptr) cairo_surface_destroy(frame_);
  timers_.stop_all();
  poster_->close();
}

void GtkHost::update_scale() {
  if (area_ == nullptr) return;  // the window has gone
  const int gdk_scale = std::max(1, gtk_widget_get_scale_factor(area_));
  gint xft_dpi = -1;  // 1024ths of a DPI; -1 for the default
  g_object_get(gtk_settings_get_default(), "gtk-xft-dpi", &xft_dpi, nullptr);
  const double dpi = xft_dpi > 0 ? xft_dpi / 1024.0 : 96.0;
  // GTK sizes windows in logical pixels (device pixels / the GDK scale);
  // fonts and the layout also follow the Xft DPI, never below 96.
  text_factor_ = static_cast<float>(std::max(1.0, dpi / 96.0));
  gtk_widget_set_size_request(area_, dips(kMinWidthDip, text_factor_),
                              dips(kMinHeightDip, text_factor_));
  const float scale = static_cast<float>(gdk_scale) * text_factor_;
  if (scale == scale_ && gfx_ != nullptr) return;
  scale_ = scale;
  if (gfx_ != nullptr) gfx_->set_scale(scale_);
  request_repaint();
}

void GtkHost::restore_size() {
  const std::optional<GdkRectangle> area = work_area(window_);
  std::optional<WindowSize> saved;
  if (std::optional<std::vector<uint8_t>> bytes = placement(settings_))
    saved = decode_window_size(*bytes);
  int w = 0;
  int h = 0;
  if (saved) {
    w = saved->width;
    h = saved->height;
    if (area) {
      w = std::min(w, area->width);
      h = std::min(h, area->height);
    }
    maximised_ = saved->maximised;
  } else {
    w = dips(kDefaultWidthDip, text_factor_);
    h = dips(kDefaultHeightDip, text_factor_);
    if (area) {
      w = std::min(w, area->width);
      h = static_cast<int>(std::lround(area->height * kDefaultHeightShare));
    }
  }
  w = std::max(w, dips(kMinWidthDip, text_factor_));
  h = std::max(h, dips(kMinHeightDip, text_factor_));
  gtk_window_set_default_size(GTK_WINDOW(window_), w, h);
  gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
  normal_size_ = WindowSize{w, h, false};
}

void GtkHost::show() {
  if (window_ == nullptr) return;
  if (maximised_) gtk_window_maximize(GTK_WINDOW(window_));
  gtk_widget_show_all(window_);
}

void GtkHost::remember_size() {
  if (window_ == nullptr || not_normal_) return;
  int w = 0;
  int h = 0;
  gtk_window_get_size(GTK_WINDOW(window_), &w, &h);
  if (w > 0 && h > 0) normal_size_ = WindowSize{w, h, false};
}

void GtkHost::follow_theme() {
  if (adjusting_theme_) return;  // our own change of the GTK setting
  const std::optional<DesktopTheme> chosen = chosen_theme();
  // The frame (title bar, decorations) follows the portal as the palette
  // does; otherwise the desktop's own value of the setting is put back
  // before it is read, so it never answers with ours.
  if (chosen && chosen->from_portal) {
    set_prefer_dark(chosen->dark);
  } else if (desktop_prefer_dark_) {
    set_prefer_dark(*desktop_prefer_dark_);
    desktop_prefer_dark_.reset();
  }
  const bool dark = chosen ? chosen->dark : gtk_settings_prefer_dark();
  if (dark == dark_) return;
  dark_ = dark;
  request_repaint();
}

void GtkHost::set_prefer_dark(bool dark) {
  GtkSettings* gs = gtk_settings_get_default();
  if (gs == nullptr) return;
  gboolean now = FALSE;
  g_object_get(gs, "gtk-application-prefer-dark-theme", &now, nullptr);
  if ((now != FALSE) == dark) return;
  if (!desktop_prefer_dark_) desktop_prefer_dark_ = now != FALSE;
  adjusting_theme_ = true;
  g_object_set(gs, "gtk-application-prefer-dark-theme", dark ? TRUE : FALSE, nullptr);
  adjusting_theme_ = false;
}

void GtkHost::watch_portal() {
  bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus_ == nullptr) return;  // no session bus: GTK's own settings still count
  portal_subscription_ = g_dbus_connection_signal_subscribe(
      bus_, "org.freedesktop.portal.Desktop", "org.freedesktop.portal.Settings", "SettingChanged",
      "/org/freedesktop/portal/desktop", "org.freedesktop.appearance", G_DBUS_SIGNAL_FLAGS_NONE,
      Signals::portal_changed, this, nullptr);
}

bool GtkHost::render(App* app) {
  if (area_ == nullptr || gfx_ == nullptr) return false;
  const int gdk_scale = std::max(1, gtk_widget_get_scale_factor(area_));
  const int w = gtk_widget_get_allocated_width(area_) * gdk_scale;
  const int h = gtk_widget_get_allocated_height(area_) * gdk_scale;
  if (w <= 0 || h <= 0) return false;
  // The frame is painted in device pixels on an image of its own, so the
  // painter never sees GTK's widget offset or surface scale.
  bool fresh = false;
  if (frame_ == nullptr || cairo_image_surface_get_width(frame_) != w ||
      cairo_image_surface_get_height(frame_) != h) {
    if (frame_ != nullptr) cairo_surface_destroy(frame_);
    frame_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    fresh = true;
  }
  cairo_t* target = cairo_create(frame_);
  gfx_->set_target(target);
  const auto paint = [&](App& a) {
    set_dark_theme(a, dark_);
    paint_window(a, *gfx_, static_cast<float>(w), static_cast<float>(h));
  };
  bool painted = true;
  if (app != nullptr) {
    paint(*app);
  } else {
    painted = slot_.with(paint);
  }
  if (!painted && fresh) {
    // A handler is running a nested loop: keep the last frame, or show the
    // bare background when the size changed meanwhile.
    gfx_->begin_frame(palette_for(dark_)[Pal::background]);
    gfx_->end_frame();
  }
  gfx_->set_target(nullptr);
  cairo_destroy(target);
  return painted;
}

void GtkHost::draw(cairo_t* cr) {
  render(nullptr);
  if (frame_ == nullptr) return;
  const int gdk_scale = device_scale();
  cairo_save(cr);
  cairo_scale(cr, 1.0 / gdk_scale, 1.0 / gdk_scale);
  cairo_set_source_surface(cr, frame_, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

void GtkHost::paint_now() {
  // The frame painted here is what the window shows while the nested loop
  // runs: its draws find the application busy and show the last frame.
  if (App* app = slot_.running()) render(app);
  request_repaint();
}

int GtkHost::device_scale() const {
  return area_ != nullptr ? std::max(1, gtk_widget_get_scale_factor(area_)) : 1;
}

bool GtkHost::with_view(const std::function<void(View&)>& f) {
  if (area_ == nullptr || gfx_ == nullptr) return false;
  const int gdk_scale = device_scale();
  const auto w = static_cast<float>(gtk_widget_get_allocated_width(area_) * gdk_scale);
  const auto h = static_cast<float>(gtk_widget_get_allocated_height(area_) * gdk_scale);
  return slot_.with([&](App& app) {
    View v{app, *gfx_, w, h};
    f(v);
  });
}

bool GtkHost::run_input(const std::function<void(View&)>& f) {
  const bool ran = with_view(f);
  if (ran) request_repaint();
  return ran;
}

void GtkHost::timer(int id) {
  route_timer(slot_, *this, id, [this](const auto& f) { return with_view(f); });
}

void GtkHost::request_repaint() {
  if (area_ != nullptr) gtk_widget_queue_draw(area_);
}

void GtkHost::beep_exclamation() {
  if (GdkDisplay* d = gdk_display_get_default()) gdk_display_beep(d);
}

void GtkHost::set_clipboard_text(const std::string& text) {
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), text.data(),
                         static_cast<gint>(text.size()));
}

std::optional<std::string> GtkHost::clipboard_text() {
  // Waits in a nested loop; posted messages meanwhile find the slot in use.
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  if (text == nullptr) return std::nullopt;
  std::string out(text);
  g_free(text);
  return out;
}

void GtkHost::open_file(const std::filesystem::path& file) { (void)lw::open_file(file); }

void GtkHost::open_folder(const std::filesystem::path& folder,
                          const std::optional<std::filesystem::path>& selected) {
  if (selected) {
    (void)lw::open_folder(*selected);
  } else {
    (void)lw::open_file(folder);
  }
}

void GtkHost::open_url(const std::string& url) {
  (void)g_app_info_launch_default_for_uri(url.c_str(), nullptr, nullptr);
}

void GtkHost::quit() {
  if (close_source_ == 0 && window_ != nullptr)
    close_source_ = g_idle_add(Signals::close_later, this);
}

void GtkHost::retry_close() {
  if (close_source_ == 0) close_source_ = g_timeout_add(kCloseRetryMs, Signals::close_later, this);
}

void GtkHost::device_changed() {
  if (slot_.with([](App& app) { app.on_device_change(); })) return;
  // The application is busy in a nested loop: the rescan timer still gets
  // its restart, and retries itself until the application is free.
  if (slot_.state() == AppSlot::State::InUse) timers_.start(kTimerRescan, kRescanDelayMs);
}

bool GtkHost::ready_to_close() {
  if (slot_.state() == AppSlot::State::InUse) return false;
  if (!placement_saved_) {
    placement_saved_ = true;
    remember_size();
    WindowSize size = normal_size_;
    size.maximised = maximised_;
    set_placement(settings_, encode_window_size(size));
  }
  return true;
}

void GtkHost::close_now() {
  if (window_ == nullptr) return;
  if (!ready_to_close()) {
    retry_close();
    return;
  }
  gtk_widget_destroy(window_);
}

void GtkHost::finish() {
  if (finished_) return;
  finished_ = true;
  release_input();
  window_ = nullptr;
  area_ = nullptr;
  // Nothing reaches the application from here on.
  poster_->close();
  slot_.with([](App& app) { app.shut_down(); });
  std::unique_ptr<App> app = slot_.take();
  timers_.stop_all();
  app.reset();
  timers_.stop_all();
  if (gtk_main_level() > 0) gtk_main_quit();
}

}  // namespace lw
