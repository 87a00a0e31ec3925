#pragma once
// How a window host runs a timer: the window's own (tooltip, search) go to
// the input layer, the rest, and all of them while a nested loop holds the
// application, go the application's way.
#include "app/host.h"
#include "host/app_slot.h"
#include "ui/input/input.h"

namespace lw {

// with_view(f) runs f with the window's View when the application is free.
template <class WithView>
void route_timer(AppSlot& slot, Host& host, int id, WithView&& with_view) {
  bool window_timer = false;
  with_view([&](View& v) { window_timer = on_window_timer(v, id); });
  if (window_timer) {
    host.request_repaint();
  } else {
    slot.timer(host, id);
  }
}

}  // namespace lw
