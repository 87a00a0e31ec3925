#pragma once
// The host's timers and posted messages on the GLib main loop (the default
// main context, which GTK runs).
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "app/host.h"

namespace lw {

// Timers by id that repeat until stopped, like window timers: starting a
// running id replaces it, and the next expiry counts from the restart.
// Starting, restarting or stopping a timer from inside its own handler is
// fine.
class GLibTimers {
 public:
  explicit GLibTimers(std::function<void(int id)> fire);
  ~GLibTimers();
  GLibTimers(const GLibTimers&) = delete;
  GLibTimers& operator=(const GLibTimers&) = delete;

  void start(int id, int period_ms);
  void stop(int id);
  void stop_all();
  bool running(int id) const { return sources_.contains(id); }

 private:
  struct Tick;
  static int on_tick(void* data);

  std::function<void(int)> fire_;
  std::map<int, unsigned> sources_;  // id -> GLib source id
};

// Posting from any thread: messages are queued and delivered in order on
// the main loop. After close() (called on the main loop's thread when the
// window goes) every post is refused and nothing queued is delivered.
class GLibPoster final : public MessagePoster, public std::enable_shared_from_this<GLibPoster> {
 public:
  static std::shared_ptr<GLibPoster> create(std::function<void(const AppMessage&)> deliver);
  bool post(const AppMessage& msg) override;
  void close();

 private:
  explicit GLibPoster(std::function<void(const AppMessage&)> deliver)
      : deliver_(std::move(deliver)) {}
  static int on_idle(void* data);
  void dispatch();

  std::mutex mutex_;
  std::deque<AppMessage> queue_;
  // While an idle source is attached: the poster itself, so it lives until
  // the source has run.
  std::shared_ptr<GLibPoster> scheduled_;
  bool closed_ = false;
  std::function<void(const AppMessage&)> deliver_;  // main thread only
};

}  // namespace lw
