#pragma once
// A place where a worker leaves one result for the window thread: the
// worker puts it, then posts its message; the window thread takes it,
// leaving the slot empty.
#include <mutex>
#include <optional>
#include <utility>

namespace lw {

template <class T>
class ResultSlot {
 public:
  // A result that was never taken is replaced.
  void put(T value) {
    std::lock_guard lock(mutex_);
    value_.reset();
    value_.emplace(std::move(value));
  }
  std::optional<T> take() {
    std::lock_guard lock(mutex_);
    std::optional<T> out = std::move(value_);
    value_.reset();
    return out;
  }

 private:
  std::mutex mutex_;
  std::optional<T> value_;
};

}  // namespace lw
