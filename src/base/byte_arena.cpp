#include "base/byte_arena.h"

#include <atomic>
#include <mutex>
#include <new>
#include <vector>

namespace lw::byte_arena {

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Under the sanitizers every buffer is its own allocation, so overruns and
// races are seen.
constexpr bool kPlain = true;
#else
constexpr bool kPlain = false;
#endif

constexpr size_t kBlockSize = size_t{1} << 18;
constexpr size_t kHeaderSize = 64;
// Empty blocks kept for reuse: 4 MiB, enough for a block's worth of lines
// freed and taken again on each of a dozen flooding tabs between drains.
constexpr size_t kPoolLimit = 16;

struct Header {
  // One reference per live buffer plus one held by the owning thread while
  // the block is its current one.
  std::atomic<uint32_t> refs;
};

Header* header_of(uint8_t* p) {
  return reinterpret_cast<Header*>(reinterpret_cast<uintptr_t>(p) & ~(uintptr_t{kBlockSize} - 1));
}

class Pool {
 public:
  uint8_t* take() {
    {
      std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        uint8_t* b = free_.back();
        free_.pop_back();
        return b;
      }
    }
    return static_cast<uint8_t*>(::operator new (kBlockSize, std::align_val_t{kBlockSize}));
  }
  void give(uint8_t* block) {
    {
      std::lock_guard lock(mutex_);
      if (free_.size() < kPoolLimit) {
        free_.push_back(block);
        return;
      }
    }
    ::operator delete (block, std::align_val_t{kBlockSize});
  }

 private:
  std::mutex mutex_;
  std::vector<uint8_t*> free_;
};

// Never destroyed: buffers may be freed by threads that outlive main.
Pool& pool() {
  static Pool* p = new Pool;
  return *p;
}

void unref(Header* h) noexcept {
  if (h->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    h->~Header();
    pool().give(reinterpret_cast<uint8_t*>(h));
  }
}

// Trivially destructible on purpose: see thread_done().
struct ThreadBlock {
  uint8_t* block;
  size_t used;
};

thread_local ThreadBlock current{nullptr, 0};

}  // namespace

uint8_t* allocate(size_t n) {
  if (kPlain || n > kLargest) return static_cast<uint8_t*>(::operator new(n));
  ThreadBlock& t = current;
  if (!t.block || t.used + n > kBlockSize) {
    if (t.block) unref(reinterpret_cast<Header*>(t.block));
    t.block = pool().take();
    new (t.block) Header{{1}};
    t.used = kHeaderSize;
  }
  reinterpret_cast<Header*>(t.block)->refs.fetch_add(1, std::memory_order_relaxed);
  uint8_t* p = t.block + t.used;
  t.used += n;
  return p;
}

void release(uint8_t* p, size_t n) noexcept {
  if (kPlain || n > kLargest) {
    ::operator delete(p);
    return;
  }
  unref(header_of(p));
}

void thread_done() noexcept {
  ThreadBlock& t = current;
  if (t.block) unref(reinterpret_cast<Header*>(t.block));
  t.block = nullptr;
  t.used = 0;
}

}  // namespace lw::byte_arena
