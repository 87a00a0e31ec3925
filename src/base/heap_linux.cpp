#include <malloc.h>

#include "base/heap.h"

namespace lw {

void keep_heap_small() noexcept {
  // glibc maps buffers of 128 KiB and more on their own, so freeing one
  // unmaps it, but raises that threshold to the largest such buffer freed:
  // after a backlog's lists are freed, lists that size come from the heap,
  // which keeps what they leave. A fixed threshold keeps mapping them.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

}  // namespace lw
