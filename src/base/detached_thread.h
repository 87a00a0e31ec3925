#pragma once
// A thread nobody joins, started safely on every target.
//
// The Windows build's threads runtime (winpthreads) gives a thread's record
// back for reuse when a thread that has already ended is detached, while
// that thread's exit still writes to it; the next thread created can then
// find the lock of its thread-local storage taken for good and spin forever.
// Under load a short-lived thread often ends before std::thread::detach
// returns, so the thread here waits until it is detached before it runs f.
#include <future>
#include <thread>
#include <utility>

namespace lw {

template <class F>
void start_detached(F&& f) {
  std::promise<void> detached;
  std::thread([go = detached.get_future(), f = std::forward<F>(f)]() mutable {
    go.wait();
    std::move(f)();
  }).detach();
  detached.set_value();
}

}  // namespace lw
