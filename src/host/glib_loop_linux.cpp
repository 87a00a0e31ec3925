#include "host/glib_loop_linux.h"

#include <glib.h>

namespace lw {

struct GLibTimers::Tick {
  GLibTimers* owner;
  int id;
};

GLibTimers::GLibTimers(std::function<void(int)> fire) : fire_(std::move(fire)) {}

GLibTimers::~GLibTimers() { stop_all(); }

int GLibTimers::on_tick(void* data) {
  // GLib holds the callback data for the whole dispatch, so the handler may
  // stop or restart this very timer (which frees the Tick afterwards).
  const Tick* t = static_cast<const Tick*>(data);
  t->owner->fire_(t->id);
  return G_SOURCE_CONTINUE;
}

void GLibTimers::start(int id, int period_ms) {
  stop(id);
  auto* tick = new Tick{this, id};
  const guint interval = period_ms > 0 ? static_cast<guint>(period_ms) : 1u;
  sources_[id] = g_timeout_add_full(G_PRIORITY_DEFAULT, interval, on_tick, tick,
                                    [](gpointer p) { delete static_cast<Tick*>(p); });
}

void GLibTimers::stop(int id) {
  auto it = sources_.find(id);
  if (it == sources_.end()) return;
  const guint source = it->second;
  sources_.erase(it);
  g_source_remove(source);
}

void GLibTimers::stop_all() {
  while (!sources_.empty()) stop(sources_.begin()->first);
}

std::shared_ptr<GLibPoster> GLibPoster::create(std::function<void(const AppMessage&)> deliver) {
  return std::shared_ptr<GLibPoster>(new GLibPoster(std::move(deliver)));
}

bool GLibPoster::post(const AppMessage& msg) {
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  queue_.push_back(msg);
  if (!scheduled_) {
    scheduled_ = shared_from_this();
    // An idle source rather than g_main_context_invoke: invoke would run a
    // post from the main thread at once, inside the handler that posted.
    g_idle_add_full(G_PRIORITY_DEFAULT, on_idle, this, nullptr);
  }
  return true;
}

void GLibPoster::close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  queue_.clear();
}

int GLibPoster::on_idle(void* data) {
  static_cast<GLibPoster*>(data)->dispatch();
  return G_SOURCE_REMOVE;
}

void GLibPoster::dispatch() {
  std::deque<AppMessage> batch;
  std::shared_ptr<GLibPoster> keep;  // this poster, until the batch is done
  {
    std::lock_guard lock(mutex_);
    batch.swap(queue_);
    keep = std::move(scheduled_);
  }
  for (const AppMessage& m : batch) {
    {
      // A handler may close the window on the way.
      std::lock_guard lock(mutex_);
      if (closed_) return;
    }
    deliver_(m);
  }
}

}  // namespace lw
