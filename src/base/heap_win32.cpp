#include "base/heap.h"

namespace lw {

// The Windows heap already gives large blocks their own pages and frees
// them back to the system.
void keep_heap_small() noexcept {}

}  // namespace lw
