#pragma once
// The reader thread: owns its Port, the splitter and a 64 KiB read buffer,
// and shares only the ReaderChannel with the window.
#include <cstdint>
#include <functional>
#include <memory>

#include "base/time.h"
#include "session/channel.h"
#include "session/port.h"

namespace lw {

inline constexpr size_t kReadBufferBytes = 65536;
inline constexpr int64_t kMinPostSpacingMs = 14;  // post only after more than this

// Posts the wake-up (application message 1) for a session id to the window.
// Called from the reader thread; must be thread-safe. A failed post is ignored.
using Waker = std::function<void(uint64_t session_id)>;

// Runs the loop until Close or an error, then stops: the partial line is
// emitted, ended (and the error) set, a last wake-up posted, the port released.
void reader_loop(std::unique_ptr<Port> port, std::shared_ptr<ReaderChannel> channel,
                 uint64_t session_id, Waker waker, Clock& clock);

// Starts a detached thread running reader_loop. Reader threads are never
// joined: they end on Close, on an error, or with the process.
void start_reader(std::unique_ptr<Port> port, std::shared_ptr<ReaderChannel> channel,
                  uint64_t session_id, Waker waker, Clock& clock = system_clock());

}  // namespace lw
