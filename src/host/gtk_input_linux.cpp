// The window's input on GTK: pointer, wheel and keys of the drawing area and
// the input method's text, turned into the calls of ui/input.h. Every call
// goes through the application slot, so nothing reaches the application
// while a popup menu or dialog runs its nested loop.
#include <gtk/gtk.h>

#include <string>

#include "base/utf8.h"
#include "host/gtk_host_linux.h"
#include "ui/input/input.h"

namespace lw {
namespace {

Key key_for_keyval(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      return Key::enter;
    case GDK_KEY_Escape:
      return Key::escape;
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:  // Shift+Tab
      return Key::tab;
    case GDK_KEY_BackSpace:
      return Key::backspace;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete:
      return Key::del;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      return Key::left;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      return Key::right;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      return Key::up;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      return Key::down;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
      return Key::home;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      return Key::end;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
      return Key::page_up;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
      return Key::page_down;
    case GDK_KEY_F3:
      return Key::f3;
    default:
      break;
  }
  switch (gdk_keyval_to_lower(keyval)) {
    case GDK_KEY_a:
      return Key::a;
    case GDK_KEY_c:
      return Key::c;
    case GDK_KEY_f:
      return Key::f;
    case GDK_KEY_m:
      return Key::m;
    case GDK_KEY_s:
      return Key::s;
    case GDK_KEY_v:
      return Key::v;
    case GDK_KEY_w:
      return Key::w;
    case GDK_KEY_x:
      return Key::x;
    case GDK_KEY_l:
      return Key::l;
    default:
      return Key::other;
  }
}

// The key of the event; with a layout whose letters are not Latin
// (Cyrillic, Greek), Ctrl+S still means the key where S sits on the first
// layout that has one, as other programs treat it.
Key key_of(const GdkEventKey* e) {
  const Key key = key_for_keyval(e->keyval);
  if (key != Key::other || gdk_keyval_to_unicode(e->keyval) < 0x80) return key;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(e->window));
  guint* keyvals = nullptr;
  gint n = 0;
  if (!gdk_keymap_get_entries_for_keycode(keymap, e->hardware_keycode, nullptr, &keyvals, &n))
    return key;
  Key latin = Key::other;
  for (gint i = 0; i < n && latin == Key::other; ++i) {
    if (keyvals[i] < 0x80) latin = key_for_keyval(keyvals[i]);
  }
  g_free(keyvals);
  return latin;
}

Modifiers modifiers_of(guint state) {
  return Modifiers{(state & GDK_CONTROL_MASK) != 0, (state & GDK_SHIFT_MASK) != 0};
}

}  // namespace

struct GtkHost::Input {
  static GtkHost& host(gpointer self) { return *static_cast<GtkHost*>(self); }
  static Point point(GtkHost& h, double x, double y) {
    const double s = h.device_scale();
    h.pointer_x_ = static_cast<float>(x * s);
    h.pointer_y_ = static_cast<float>(y * s);
    return Point{h.pointer_x_, h.pointer_y_};
  }

  static gboolean motion(GtkWidget*, GdkEventMotion* e, gpointer self) {
    GtkHost& h = host(self);
    const Point p = point(h, e->x, e->y);
    h.run_input([&](View& v) { on_mouse_move(v, p); });
    return TRUE;
  }
  static gboolean leave(GtkWidget*, GdkEventCrossing* e, gpointer self) {
    GtkHost& h = host(self);
    // While the left button is held the pointer still belongs to the window
    // (GTK's implicit grab); crossings into our own child windows are none.
    if (h.left_held_ || e->detail == GDK_NOTIFY_INFERIOR) return FALSE;
    h.run_input([](View& v) { on_mouse_leave(v); });
    return FALSE;
  }
  static gboolean press(GtkWidget* area, GdkEventButton* e, gpointer self) {
    GtkHost& h = host(self);
    // Double and triple clicks come as extra events after the plain ones.
    if (e->type != GDK_BUTTON_PRESS || e->button != GDK_BUTTON_PRIMARY) return TRUE;
    gtk_widget_grab_focus(area);
    const Point p = point(h, e->x, e->y);
    const Modifiers m = modifiers_of(e->state);
    h.left_held_ = true;
    h.run_input([&](View& v) { on_left_down(v, p, m); });
    return TRUE;
  }
  static gboolean release(GtkWidget*, GdkEventButton* e, gpointer self) {
    GtkHost& h = host(self);
    const Point p = point(h, e->x, e->y);
    if (e->button == GDK_BUTTON_PRIMARY && h.left_held_) {
      h.left_held_ = false;
      h.run_input([&](View& v) { on_left_up(v, p); });
    } else if (e->button == GDK_BUTTON_SECONDARY) {
      h.run_input([&](View& v) { on_right_click(v, p); });
    }
    return TRUE;
  }
  // Another grab (a popup of another program, a window manager move) took
  // the pointer while the button was down: the press ends here.
  static gboolean grab_broken(GtkWidget*, GdkEventGrabBroken*, gpointer self) {
    GtkHost& h = host(self);
    if (!h.left_held_) return FALSE;
    h.left_held_ = false;
    const Point p{h.pointer_x_, h.pointer_y_};
    h.run_input([&](View& v) { on_left_up(v, p); });
    return FALSE;
  }
  static gboolean scroll(GtkWidget*, GdkEventScroll* e, gpointer self) {
    GtkHost& h = host(self);
    int delta = 0;
    switch (e->direction) {
      case GDK_SCROLL_UP:
        delta = h.wheel_.notch(true);
        break;
      case GDK_SCROLL_DOWN:
        delta = h.wheel_.notch(false);
        break;
      case GDK_SCROLL_SMOOTH:
        delta = h.wheel_.smooth(e->delta_y);
        break;
      default:  // sideways
        break;
    }
    if (delta == 0) return TRUE;
    const Point p = point(h, e->x, e->y);
    h.run_input([&](View& v) { on_wheel(v, p, delta); });
    return TRUE;
  }

  // On the window, before GTK's own key handling: the window keeps every
  // key (Tab and the arrows never move GTK's focus), the input method sees
  // it first.
  static gboolean key_press(GtkWidget*, GdkEventKey* e, gpointer self) {
    GtkHost& h = host(self);
    if (h.im_ != nullptr && gtk_im_context_filter_keypress(h.im_, e)) return TRUE;
    if (h.im_ != nullptr && !h.has_preedit()) h.composing_ = false;
    const Key key = key_of(e);
    const Modifiers m = modifiers_of(e->state);
    h.run_input([&](View& v) { on_key_down(v, key, m); });
    return TRUE;
  }
  static gboolean key_release(GtkWidget*, GdkEventKey* e, gpointer self) {
    GtkHost& h = host(self);
    if (h.im_ != nullptr) gtk_im_context_filter_keypress(h.im_, e);
    return TRUE;
  }
  static gboolean focus_in(GtkWidget*, GdkEventFocus*, gpointer self) {
    if (GtkIMContext* im = host(self).im_) gtk_im_context_focus_in(im);
    return FALSE;
  }
  static gboolean focus_out(GtkWidget*, GdkEventFocus*, gpointer self) {
    GtkHost& h = host(self);
    if (h.im_ != nullptr) gtk_im_context_focus_out(h.im_);
    return FALSE;
  }
  static void realize(GtkWidget* area, gpointer self) {
    if (GtkIMContext* im = host(self).im_)
      gtk_im_context_set_client_window(im, gtk_widget_get_window(area));
  }
  static void unrealize(GtkWidget*, gpointer self) {
    if (GtkIMContext* im = host(self).im_) gtk_im_context_set_client_window(im, nullptr);
  }

  // Text from the input method: a finished composition, or plain typing
  // (which the simple input method also delivers this way).
  static void commit(GtkIMContext*, gchar* text, gpointer self) {
    GtkHost& h = host(self);
    const std::string_view utf8 = text != nullptr ? text : "";
    if (h.composing_) {
      h.composing_ = false;
      const std::u32string result = utf32_from_utf8(utf8);
      h.run_input([&](View& v) { on_ime_result(v, result); });
      return;
    }
    const std::u16string units = utf16_from_utf8(utf8);
    if (units.empty()) return;
    h.run_input([&](View& v) {
      for (char16_t u : units) on_char(v, u);
    });
  }
  static void preedit_changed(GtkIMContext* im, gpointer self) {
    GtkHost& h = host(self);
    gchar* text = nullptr;
    gtk_im_context_get_preedit_string(im, &text, nullptr, nullptr);
    const std::u32string composition = utf32_from_utf8(text != nullptr ? text : "");
    g_free(text);
    // An empty preedit ends a composition, which may still be committed.
    if (composition.empty() && !h.composing_) return;
    if (!composition.empty()) h.composing_ = true;
    h.run_input([&](View& v) { on_ime_composition(v, composition); });
  }
};

bool GtkHost::has_preedit() const {
  if (im_ == nullptr) return false;
  gchar* text = nullptr;
  gtk_im_context_get_preedit_string(im_, &text, nullptr, nullptr);
  const bool any = text != nullptr && *text != '\0';
  g_free(text);
  return any;
}

void GtkHost::connect_input() {
  gtk_widget_set_can_focus(area_, TRUE);
  gtk_widget_add_events(area_, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                   GDK_BUTTON_RELEASE_MASK | GDK_LEAVE_NOTIFY_MASK |
                                   GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK | GDK_KEY_PRESS_MASK |
                                   GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(Input::motion), this);
  g_signal_connect(area_, "leave-notify-event", G_CALLBACK(Input::leave), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(Input::press), this);
  g_signal_connect(area_, "button-release-event", G_CALLBACK(Input::release), this);
  g_signal_connect(area_, "grab-broken-event", G_CALLBACK(Input::grab_broken), this);
  g_signal_connect(area_, "scroll-event", G_CALLBACK(Input::scroll), this);
  g_signal_connect(area_, "realize", G_CALLBACK(Input::realize), this);
  g_signal_connect(area_, "unrealize", G_CALLBACK(Input::unrealize), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(Input::key_press), this);
  g_signal_connect(window_, "key-release-event", G_CALLBACK(Input::key_release), this);
  g_signal_connect(window_, "focus-in-event", G_CALLBACK(Input::focus_in), this);
  g_signal_connect(window_, "focus-out-event", G_CALLBACK(Input::focus_out), this);

  im_ = gtk_im_multicontext_new();
  g_signal_connect(im_, "commit", G_CALLBACK(Input::commit), this);
  g_signal_connect(im_, "preedit-changed", G_CALLBACK(Input::preedit_changed), this);
}

void GtkHost::release_input() {
  if (im_ == nullptr) return;
  g_signal_handlers_disconnect_by_data(im_, this);
  gtk_im_context_set_client_window(im_, nullptr);
  g_object_unref(im_);
  im_ = nullptr;
}

}  // namespace lw
