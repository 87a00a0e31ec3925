#include "sim/replay_port.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

namespace lw {

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr nanoseconds kMaxWait = milliseconds(kReadTimeoutMs);
// The splitter cuts lines at this length by itself.
constexpr size_t kSplitterLineLimit = 4096;

// Whether the splitter would join `line` with the bytes after it unless
// some silence comes between them.
bool needs_quiet(const ReplayLine& line, const std::optional<ReplayLine>& after) {
  if (line.ending == LineEnding::None) {
    return line.bytes.empty() || line.bytes.size() % kSplitterLineLimit != 0;
  }
  // A CR waits for the next byte: an LF would make it CR LF.
  return line.ending == LineEnding::Cr && after && !after->bytes.empty() &&
         after->bytes.front() == 0x0A;
}

}  // namespace

ReplayPort::ReplayPort(ReplaySource source, std::shared_ptr<ReplayControl> control,
                       DeviceTiming timing)
    : reader_(std::move(source)), control_(std::move(control)), timing_(std::move(timing)) {}

nanoseconds ReplayPort::due_of(const ReplayLine& line) const {
  nanoseconds gap{0};
  if (!first_) {
    if (line.stamp && last_stamp_) {
      // A stamp earlier than the one before it comes at once.
      const Millis apart = std::clamp<Millis>(*line.stamp - *last_stamp_, 0,
                                              milliseconds(kReplayLongestGap).count());
      gap = milliseconds(apart);
    } else {
      gap = kReplaySpacing;
    }
  }
  switch (control_->speed.load()) {
    case ReplaySpeed::Normal:
      break;
    case ReplaySpeed::Ten:
      gap /= 10;
      break;
    case ReplaySpeed::Fastest:
      gap = nanoseconds{0};
      break;
  }
  nanoseconds due = last_due_ + gap;
  if (quiet_after_) due = std::max(due, last_out_ + nanoseconds(kReplayQuietGap));
  return due;
}

void ReplayPort::idle(nanoseconds wait) {
  timing_.sleep(std::clamp(wait, nanoseconds{0}, kMaxWait));
}

size_t ReplayPort::take_pending(std::span<uint8_t> buf) {
  const size_t n = std::min(buf.size(), pending_.size() - pending_pos_);
  if (n > 0) std::memcpy(buf.data(), pending_.data() + pending_pos_, n);
  pending_pos_ += n;
  if (pending_pos_ == pending_.size()) {
    pending_.clear();
    pending_pos_ = 0;
  }
  return n;
}

Result<size_t> ReplayPort::read(std::span<uint8_t> buf) {
  const nanoseconds now = timing_.now();
  if (!started_) {
    started_ = true;
    last_due_ = now;
    next_ = reader_.next();
  }
  if (pending_pos_ < pending_.size()) return take_pending(buf);
  if (now < not_before_) {
    idle(not_before_ - now);
    return size_t{0};
  }
  if (!next_) {
    // The end: once the last line has had time to leave the splitter, the
    // tab hears that the replay is over.
    if (!control_->finished.load() && now - last_out_ >= nanoseconds(kReplayQuietGap)) {
      if (const std::optional<uint64_t> bad = reader_.unreadable_line()) {
        control_->unreadable_line.store(*bad);
      }
      control_->finished.store(true);
    }
    idle(kMaxWait);
    return size_t{0};
  }
  if (const nanoseconds due = due_of(*next_); now < due) {
    idle(due - now);
    return size_t{0};
  }

  size_t n = 0;
  const size_t room = std::min(buf.size(), kReplayBatchBytes);
  while (next_ && n < room) {
    const nanoseconds due = due_of(*next_);
    if (due > now) break;
    // Whole lines per read; only a line longer than a read is cut.
    if (n > 0 && next_->bytes.size() > room - n) break;
    ReplayLine line = std::move(*next_);
    next_ = reader_.next();
    const size_t fits = std::min(line.bytes.size(), room - n);
    if (fits > 0) std::memcpy(buf.data() + n, line.bytes.data(), fits);
    n += fits;
    if (fits < line.bytes.size()) {
      pending_.assign(line.bytes.begin() + static_cast<std::ptrdiff_t>(fits), line.bytes.end());
      pending_pos_ = 0;
    }
    // A line that went out late (a new speed, the pace of large batches)
    // starts the next wait; fast replays keep no schedule at all.
    const bool late = now - due > kMaxWait;
    last_due_ = late || control_->speed.load() == ReplaySpeed::Fastest ? now : due;
    last_out_ = now;
    last_stamp_ = line.stamp;
    first_ = false;
    quiet_after_ = needs_quiet(line, next_);
    control_->lines.fetch_add(1);
    if (quiet_after_ || !pending_.empty()) break;
  }
  not_before_ = now + nanoseconds(kReplayBatchPause) * static_cast<int64_t>(n) /
                          static_cast<int64_t>(kReplayBatchBytes);
  return n;
}

Status ReplayPort::write_all(std::span<const uint8_t>) { return {}; }

Status ReplayPort::configure(const PortSettings&) { return {}; }

Result<std::unique_ptr<Port>, OpenError> open_replay(const std::filesystem::path& file,
                                                     std::shared_ptr<ReplayControl> control) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(file, ec);
  if (st.type() == std::filesystem::file_type::not_found) return fail(OpenFailure::Missing);
  if (ec || !std::filesystem::is_regular_file(st)) return fail(OpenFailure::Other);
  auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
  if (!*in) return fail(OpenFailure::Other);
  ReplaySource source = [in](std::span<uint8_t> buf) -> Result<size_t> {
    in->read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(buf.size()));
    if (in->bad()) return fail(Error{0, "the file could not be read"});
    return static_cast<size_t>(in->gcount());
  };
  return std::unique_ptr<Port>(std::make_unique<ReplayPort>(std::move(source), std::move(control)));
}

}  // namespace lw
