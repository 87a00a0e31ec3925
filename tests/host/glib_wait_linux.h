#pragma once
// Turning the default GLib main loop in tests until a condition holds.
#include <glib.h>

#include <chrono>
#include <functional>

namespace lw::test {

// Runs the loop until done() holds or timeout_ms pass; returns done().
inline bool run_loop_until(const std::function<bool()>& done, int timeout_ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  // A ticking source so a blocking iteration wakes to look at the clock.
  const guint tick = g_timeout_add(
      10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  while (!done() && std::chrono::steady_clock::now() < end) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(tick);
  return done();
}

// Runs the loop for ms, whatever happens.
inline void run_loop_for(int ms) {
  run_loop_until([] { return false; }, ms);
}

}  // namespace lw::test
