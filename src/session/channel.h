#pragma once
// The one object a reader thread shares with the window. Two locks, never
// held together, each held only to move a whole list in or out: the event
// lock (events, error, ended) and the command lock (commands). The byte
// counters and the wake-up flag are atomics.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "session/link_report.h"
#include "session/records.h"

namespace lw {

struct ReaderCommand {
  enum class Kind : uint8_t { Write, ApplySettings, SetFraming, Close };
  Kind kind = Kind::Close;
  Bytes bytes;                       // Write
  PortSettings settings;             // ApplySettings
  std::optional<FrameSpec> framing;  // SetFraming

  static ReaderCommand write(Bytes b) { return {Kind::Write, std::move(b), {}, {}}; }
  static ReaderCommand apply(const PortSettings& s) { return {Kind::ApplySettings, {}, s, {}}; }
  static ReaderCommand set_framing(std::optional<FrameSpec> f) {
    return {Kind::SetFraming, {}, {}, f};
  }
  static ReaderCommand close() { return {Kind::Close, {}, {}, {}}; }
};

struct DrainedEvents {
  std::vector<LineRecord> records;
  std::optional<std::string> error;
  bool ended = false;
  // A port that connects later: how its link is, when that changed.
  std::optional<LinkReport> link;
  // Its link could not be made (the reader has ended; error holds why).
  std::optional<OpenError> unopened;
};

class ReaderChannel {
 public:
  // The most records whose room a drained list keeps for the next batch
  // (a flood's 64 KiB read is about 1,400 lines).
  static constexpr size_t kKeptRecords = 16'384;

  // Reader side.
  // Appends the whole batch (which is left empty) under the event lock;
  // returns whether the channel now holds events.
  bool hand_over(std::vector<LineRecord>& batch);
  // The thread has stopped: the last records, why (absent after Close).
  void finish(std::vector<LineRecord>& batch, std::optional<std::string> error);
  // The link of a port that connects later changed.
  void report_link(LinkReport link);
  // The port's link could not be made: the thread stops without having
  // read anything.
  void finish_unopened(OpenError why, std::string error);
  // The thread's last touch of anything it was lent (the waker, the clock).
  void mark_stopped();
  // Moves every queued command into out (in order).
  void take_commands(std::vector<ReaderCommand>& out);
  bool has_commands();
  // Whether a Close is queued.
  bool close_queued();

  // Window side.
  void push_command(ReaderCommand cmd);
  // Clears posted first, so records added after it always cause a new post;
  // then moves out the events, the error and the ended flag. into.records
  // is swapped with the channel's list, so its capacity is reused up to
  // kKeptRecords.
  void take_events(DrainedEvents& into);
  // Waits until the reader thread has stopped (whether or not its end was
  // taken), at most timeout_ms; returns whether it has.
  bool wait_ended(int timeout_ms);
  bool has_stopped();

  std::atomic<uint64_t> bytes_received{0};
  std::atomic<uint64_t> bytes_sent{0};
  std::atomic<bool> posted{false};

 private:
  std::mutex event_mutex_;
  std::vector<LineRecord> events_;
  std::optional<std::string> error_;
  std::optional<LinkReport> link_;
  std::optional<OpenError> unopened_;
  bool ended_ = false;    // the end is waiting to be taken
  bool stopped_ = false;  // never cleared
  std::condition_variable ended_cv_;

  std::mutex command_mutex_;
  std::deque<ReaderCommand> commands_;
};

}  // namespace lw
