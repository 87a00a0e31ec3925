#pragma once
// A first-in-first-out ring that grows by doubling, up to its limit when it
// has one: a log that settles at 200,000 lines holds slots for that many, not
// for the next power of two. Once it has grown to the size a log settles at,
// pushing at the back and popping at the front allocate nothing.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace lw {

template <class T>
class Ring {
 public:
  Ring() = default;
  // Grows no further than `limit` slots unless it is fuller than that.
  explicit Ring(size_t limit) : limit_(limit) {}
  Ring(Ring&&) noexcept = default;
  Ring& operator=(Ring&&) noexcept = default;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](size_t i) {
    assert(i < size_);
    return slots_[slot(i)];
  }
  const T& operator[](size_t i) const {
    assert(i < size_);
    return slots_[slot(i)];
  }
  T& front() { return (*this)[0]; }
  const T& front() const { return (*this)[0]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  void push_back(T&& value) {
    if (size_ == capacity_) grow();
    slots_[slot(size_)] = std::move(value);
    ++size_;
  }

  // Frees the front element at once (its slot is reset).
  void pop_front() {
    assert(size_ > 0);
    slots_[head_] = T{};
    head_ = head_ + 1 == capacity_ ? 0 : head_ + 1;
    --size_;
  }

  // Frees every element and the slots.
  void clear() {
    slots_.reset();
    head_ = size_ = capacity_ = 0;
  }

  size_t capacity() const { return capacity_; }

 private:
  size_t slot(size_t i) const {
    const size_t at = head_ + i;
    return at < capacity_ ? at : at - capacity_;
  }

  void grow() {
    size_t cap = capacity_ == 0 ? 16 : capacity_ * 2;
    if (cap > limit_ && capacity_ < limit_) cap = limit_;
    auto slots = std::make_unique<T[]>(cap);
    for (size_t i = 0; i < size_; ++i) slots[i] = std::move((*this)[i]);
    slots_ = std::move(slots);
    head_ = 0;
    capacity_ = cap;
  }

  std::unique_ptr<T[]> slots_;
  size_t head_ = 0;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t limit_ = SIZE_MAX;
};

}  // namespace lw
