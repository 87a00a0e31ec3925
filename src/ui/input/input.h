#pragma once
// Mouse and keyboard input of the window, turned into commands: clicks on
// what hit testing finds, the popup menus, row selection and drags, the
// wheel, the tooltips, the keyboard shortcuts and the focused field's keys.
// Hosts translate their events into these calls on the window thread.
#include <cstdint>
#include <string_view>

#include "app/app.h"
#include "gfx/gfx.h"

namespace lw {

// The window as input sees it: the application, the painter's Gfx (for
// measuring, as painting does) and the client size in device pixels.
struct View {
  App& app;
  Gfx& gfx;
  float width = 0;
  float height = 0;
};

enum class Key : uint8_t {
  other,
  enter,
  escape,
  tab,
  backspace,
  del,
  left,
  right,
  up,
  down,
  home,
  end,
  page_up,
  page_down,
  f3,
  a,
  c,
  f,
  m,
  s,
  v,
  w,
  x,
  l,
};

struct Modifiers {
  bool ctrl = false;
  bool shift = false;
};

// Points are client coordinates in device pixels. The host captures the
// mouse between a left press and its release.
void on_mouse_move(View v, Point p);
void on_mouse_leave(View v);
void on_left_down(View v, Point p, Modifiers m);
void on_left_up(View v, Point p);
void on_right_click(View v, Point p);
// delta: 120 per notch, positive when the wheel turns away from the user.
void on_wheel(View v, Point p, int delta);
// True when the key was handled (the window repaints).
bool on_key_down(View v, Key key, Modifiers m);
// A typed character as one UTF-16 unit (surrogates arrive one by one).
void on_char(View v, char16_t unit);
// The input method's composition in progress, and its result.
void on_ime_composition(View v, std::u32string_view composition);
void on_ime_result(View v, std::u32string_view result);
// The window's own timers (tooltip 4, search 5); false for the others,
// which the host hands to App::on_timer.
bool on_window_timer(View v, int id);

// Makes the search field's text the search text of every tab now (what the
// search timer does when it fires) and stops that timer.
void apply_search_text(App& app);

}  // namespace lw
