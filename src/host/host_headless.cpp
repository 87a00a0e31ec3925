#include "host/host_headless.h"

#include <chrono>
#include <limits>
#include <thread>

namespace lw {

class HeadlessHost::Queue final : public MessagePoster {
 public:
  bool post(const AppMessage& msg) override {
    {
      std::lock_guard lock(mutex_);
      if (closed_) return false;
      messages_.push_back(msg);
    }
    cv_.notify_all();
    return true;
  }
  std::deque<AppMessage> take() {
    std::lock_guard lock(mutex_);
    return std::exchange(messages_, {});
  }
  // Waits for a post, at most ms.
  void wait(int64_t ms) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !messages_.empty(); });
  }
  void close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    messages_.clear();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<AppMessage> messages_;
  bool closed_ = false;
};

HeadlessHost::HeadlessHost(Clock& clock) : clock_(clock), queue_(std::make_shared<Queue>()) {}

HeadlessHost::~HeadlessHost() {
  // Readers still running post into a closed queue.
  queue_->close();
  slot_.take();
}

void HeadlessHost::start_timer(int id, int period_ms) {
  timers_[id] = Timer{period_ms, clock_.monotonic_ms() + period_ms};
}

void HeadlessHost::stop_timer(int id) { timers_.erase(id); }

std::shared_ptr<MessagePoster> HeadlessHost::poster() { return queue_; }

std::optional<int> HeadlessHost::timer_period(int id) const {
  auto it = timers_.find(id);
  if (it == timers_.end()) return std::nullopt;
  return it->second.period;
}

int64_t HeadlessHost::next_timer_due() const {
  int64_t due = std::numeric_limits<int64_t>::max();
  for (const auto& [id, t] : timers_) due = std::min(due, t.due);
  return due;
}

void HeadlessHost::report(bool message, int id, std::chrono::steady_clock::time_point since) {
  if (!on_handled) return;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - since;
  on_handled(Handled{message, id, took.count()});
}

bool HeadlessHost::turn() {
  bool ran = false;
  for (const AppMessage& m : queue_->take()) {
    const auto t0 = std::chrono::steady_clock::now();
    slot_.message(m);
    report(true, m.number, t0);
    ran = true;
  }
  const int64_t now = clock_.monotonic_ms();
  int id = -1;
  int64_t earliest = std::numeric_limits<int64_t>::max();
  for (const auto& [tid, t] : timers_) {
    if (t.due <= now && t.due < earliest) {
      earliest = t.due;
      id = tid;
    }
  }
  if (id >= 0) {
    Timer& t = timers_[id];
    // Like a window timer: the next expiry counts from now, never in a burst.
    t.due = now + t.period;
    ++timer_fires[id];
    const auto t0 = std::chrono::steady_clock::now();
    slot_.timer(*this, id);
    report(false, id, t0);
    ran = true;
  }
  return ran;
}

bool HeadlessHost::run_until(const std::function<bool()>& done, int64_t timeout_ms) {
  const int64_t end = clock_.monotonic_ms() + timeout_ms;
  while (true) {
    if (done && done()) return true;
    const int64_t now = clock_.monotonic_ms();
    if (now >= end) return false;
    if (turn()) continue;
    const int64_t wait = std::min(next_timer_due(), end) - now;
    if (&clock_ != &system_clock()) return done ? done() : false;
    queue_->wait(std::max<int64_t>(1, wait));
  }
}

void HeadlessHost::run_for(int64_t ms) { run_until({}, ms); }

void HeadlessHost::pump() {
  while (turn()) {
  }
}

namespace {
template <class T>
std::optional<T> next_answer(std::deque<std::optional<T>>& answers) {
  if (answers.empty()) return std::nullopt;
  std::optional<T> a = std::move(answers.front());
  answers.pop_front();
  return a;
}
}  // namespace

std::optional<int> HeadlessHost::popup_menu(const std::vector<MenuItem>& items, float, float) {
  menus_shown.push_back(items);
  return next_answer(menu_answers);
}

bool HeadlessHost::ask_yes_no(const std::string& caption, const std::string& text) {
  message_boxes.emplace_back(caption, text);
  if (yes_no_answers.empty()) return false;
  const bool yes = yes_no_answers.front();
  yes_no_answers.pop_front();
  return yes;
}

std::optional<SaveChoice> HeadlessHost::choose_save_file(const SaveDialogSetup& setup) {
  save_dialogs.push_back(setup);
  return next_answer(save_answers);
}

std::optional<std::filesystem::path> HeadlessHost::choose_open_file(const OpenDialogSetup& setup) {
  open_dialogs.push_back(setup);
  return next_answer(open_answers);
}

}  // namespace lw
