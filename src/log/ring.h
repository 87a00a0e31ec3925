#pragma once
// A first-in-first-out ring that grows by doubling. Once it has grown to the
// size a log settles at, pushing at the back and popping at the front
// allocate nothing.
#include <cassert>
#include <cstddef>
#include <memory>
#include <utility>

namespace lw {

template <class T>
class Ring {
 public:
  Ring() = default;
  Ring(Ring&&) noexcept = default;
  Ring& operator=(Ring&&) noexcept = default;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](size_t i) {
    assert(i < size_);
    return slots_[(head_ + i) & mask_];
  }
  const T& operator[](size_t i) const {
    assert(i < size_);
    return slots_[(head_ + i) & mask_];
  }
  T& front() { return (*this)[0]; }
  const T& front() const { return (*this)[0]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  void push_back(T&& value) {
    if (size_ == capacity()) grow();
    slots_[(head_ + size_) & mask_] = std::move(value);
    ++size_;
  }

  // Frees the front element at once (its slot is reset).
  void pop_front() {
    assert(size_ > 0);
    slots_[head_] = T{};
    head_ = (head_ + 1) & mask_;
    --size_;
  }

  // Frees every element and the slots.
  void clear() {
    slots_.reset();
    head_ = size_ = 0;
    mask_ = 0;
    has_slots_ = false;
  }

 private:
  size_t capacity() const { return has_slots_ ? mask_ + 1 : 0; }

  void grow() {
    const size_t cap = has_slots_ ? (mask_ + 1) * 2 : 16;
    auto slots = std::make_unique<T[]>(cap);
    for (size_t i = 0; i < size_; ++i) slots[i] = std::move((*this)[i]);
    slots_ = std::move(slots);
    head_ = 0;
    mask_ = cap - 1;
    has_slots_ = true;
  }

  std::unique_ptr<T[]> slots_;
  size_t head_ = 0;
  size_t size_ = 0;
  size_t mask_ = 0;
  bool has_slots_ = false;
};

}  // namespace lw
