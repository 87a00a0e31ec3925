#pragma once
// An owned byte buffer exactly as long as its content: a received line keeps
// no spare capacity, and moving one costs two words. Buffers are under 4 GiB
// (a line is at most 4096 bytes, a piece of a file sent 64 KiB), so the size
// takes 4 bytes, and the class is packed to 12 bytes with 4-byte alignment:
// the log's LineRecord, a Bytes, a time and two one-byte enums, then takes
// 24 bytes instead of 32.
#include <cassert>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "base/byte_arena.h"

namespace lw {

#pragma pack(push, 4)
class Bytes {
 public:
  Bytes() = default;
  explicit Bytes(std::span<const uint8_t> data) { assign(data.data(), data.size()); }
  explicit Bytes(std::string_view text) {
    assign(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }
  Bytes(const Bytes& o) { assign(o.data(), o.size()); }
  Bytes& operator=(const Bytes& o) {
    if (this != &o) assign(o.data(), o.size());
    return *this;
  }
  Bytes(Bytes&& o) noexcept : data_(o.data_), size_(o.size_) {
    o.data_ = nullptr;
    o.size_ = 0;
  }
  Bytes& operator=(Bytes&& o) noexcept {
    if (this != &o) {
      reset();
      data_ = o.data_;
      size_ = o.size_;
      o.data_ = nullptr;
      o.size_ = 0;
    }
    return *this;
  }
  ~Bytes() { reset(); }

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  uint8_t operator[](size_t i) const { return data_[i]; }
  std::span<const uint8_t> span() const { return {data_, size_}; }
  std::string_view view() const { return {reinterpret_cast<const char*>(data_), size_}; }
  bool operator==(const Bytes& o) const {
    return size_ == o.size_ && (size_ == 0 || std::memcmp(data(), o.data(), size_) == 0);
  }

 private:
  void reset() noexcept {
    if (data_) byte_arena::release(data_, size_);
    data_ = nullptr;
    size_ = 0;
  }
  void assign(const uint8_t* p, size_t n) {
    reset();
    assert(n <= UINT32_MAX);
    if (n > 0) {
      data_ = byte_arena::allocate(n);
      std::memcpy(data_, p, n);
      size_ = static_cast<uint32_t>(n);
    }
  }
  uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
};
#pragma pack(pop)
static_assert(sizeof(Bytes) == 12);

}  // namespace lw
