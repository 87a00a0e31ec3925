#pragma once
// How the process heap gives memory back. A flood that outruns the window
// leaves a backlog of records for a while; once drained, its memory should
// return to the system rather than stay with the process.
namespace lw {

// Called once at start-up, before any reader thread runs.
void keep_heap_small() noexcept;

}  // namespace lw
