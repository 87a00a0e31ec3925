#pragma once
// Where the window thread keeps the application. A handler takes the
// application for its whole run; a message that arrives meanwhile (a nested
// loop of a popup menu or message box delivers them) finds it in use and is
// dropped, except that a rescan is tried again 300 ms later.
#include <memory>
#include <utility>

#include "app/app.h"

namespace lw {

class AppSlot {
 public:
  enum class State { NotInitialised, InUse, Free };

  void install(std::unique_ptr<App> app) {
    app_ = std::move(app);
    state_ = State::Free;
  }
  // Takes the application out (the window is being destroyed).
  std::unique_ptr<App> take() {
    state_ = State::NotInitialised;
    return std::move(app_);
  }
  State state() const { return state_; }
  // The application while a handler runs with it, for that handler's own
  // calls back into the host (painting before a nested loop); else null.
  App* running() const { return state_ == State::InUse ? app_.get() : nullptr; }

  // Runs f with the application if it is free; returns whether it ran.
  template <class F>
  bool with(F&& f) {
    if (state_ != State::Free) return false;
    state_ = State::InUse;
    struct Release {
      State& s;
      ~Release() {
        if (s == State::InUse) s = State::Free;
      }
    } release{state_};
    f(*app_);
    return true;
  }

  // The host's timer and message entry points.
  void timer(Host& host, int id) {
    if (!with([&](App& a) { a.on_timer(id); }) && id == kTimerRescan) {
      host.start_timer(kTimerRescan, kRescanDelayMs);
    }
  }
  // False: not the application's message (or the application is gone), so
  // the default handling applies.
  bool message(const AppMessage& msg) {
    bool handled = false;
    const bool ran = with([&](App& a) { handled = a.on_message(msg); });
    return ran ? handled : state_ == State::InUse;
  }

 private:
  std::unique_ptr<App> app_;
  State state_ = State::NotInitialised;
};

}  // namespace lw
