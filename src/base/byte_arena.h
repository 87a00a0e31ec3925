#pragma once
// Storage for line buffers. Lines are made on a reader thread and freed on
// the window thread, oldest first, hundreds of thousands at a time; a general
// allocator spends most of the receive pipeline's time on that. Small
// buffers are cut from 256 KiB blocks owned by the allocating thread; a block
// counts its live buffers and returns to a pool when the last one is freed.
#include <cstddef>
#include <cstdint>

namespace lw::byte_arena {

inline constexpr size_t kLargest = 8192;  // bigger buffers use the heap

uint8_t* allocate(size_t n);                  // n > 0
void release(uint8_t* p, size_t n) noexcept;  // the same n as allocated
// A thread that allocated hands back its current block before it ends; a
// thread that never calls this keeps one block until the process ends.
// (No thread_local destructor: mingw's, run at thread exit, corrupt the heap.)
void thread_done() noexcept;

}  // namespace lw::byte_arena
