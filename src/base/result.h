#pragma once
// A value or an error. Errors are values in this program; nothing throws
// across module boundaries.
#include <cassert>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace lw {

template <class E>
struct Failure {
  E error;
};

template <class E>
Failure<std::decay_t<E>> fail(E&& e) {
  return {std::forward<E>(e)};
}

// A system or program error: the code is 0 for the program's own texts.
struct Error {
  int code = 0;
  std::string text;
};

template <class T, class E = Error>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  template <class F>
  Result(Failure<F> f) : v_(std::in_place_index<1>, E(std::move(f.error))) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() {
    assert(ok());
    return std::get<0>(v_);
  }
  const T& value() const {
    assert(ok());
    return std::get<0>(v_);
  }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const E& error() const {
    assert(!ok());
    return std::get<1>(v_);
  }
  E& error() {
    assert(!ok());
    return std::get<1>(v_);
  }

 private:
  std::variant<T, E> v_;
};

template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  template <class F>
  Result(Failure<F> f) : err_(E(std::move(f.error))), failed_(true) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const E& error() const {
    assert(failed_);
    return err_;
  }

 private:
  E err_{};
  bool failed_ = false;
};

using Status = Result<void, Error>;

}  // namespace lw
