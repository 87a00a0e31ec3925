#pragma once
// What the fuzz targets share: a property check that stops the run on the
// spot (libFuzzer then keeps the input as a crash file), and a reader for the
// leading bytes that steer a target.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace lw::fuzz {

// A JSON string of UTF-8 text: quotes and backslashes escaped, control
// characters as \u escapes, everything else as it is.
inline std::string json_string(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", u);
      out += esc;
    } else {
      out += c;
    }
  }
  return out + '"';
}

[[noreturn]] inline void violated(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

// Takes bytes from the front of an input; an exhausted input reads as zeros.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ == size_; }
  size_t left() const { return size_ - pos_; }

  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool flag() { return (byte() & 1) != 0; }
  uint16_t u16() {
    const auto hi = static_cast<uint16_t>(byte() << 8);
    return static_cast<uint16_t>(hi | byte());
  }
  uint64_t u64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | byte();
    return v;
  }
  double f64() {
    const uint64_t bits = u64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  // Up to n bytes.
  std::span<const uint8_t> bytes(size_t n) {
    if (n > left()) n = left();
    const std::span<const uint8_t> out(data_ + pos_, n);
    pos_ += n;
    return out;
  }
  std::string_view text(size_t n) {
    const std::span<const uint8_t> b = bytes(n);
    return {reinterpret_cast<const char*>(b.data()), b.size()};
  }
  // A text whose length is the next byte.
  std::string_view short_text() { return text(byte()); }
  std::span<const uint8_t> rest() { return bytes(left()); }
  std::string_view rest_text() { return text(left()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

inline std::string_view as_text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace lw::fuzz

#define LW_FUZZ_CHECK(cond) \
  ((cond) ? static_cast<void>(0) : ::lw::fuzz::violated(#cond, __FILE__, __LINE__))
