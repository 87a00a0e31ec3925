// The line and frame splitters under any chunking of the stream, with idle
// flushes and framing changes between reads. The splitter must give exactly
// what a plain byte-at-a-time reading of the rules gives; a stream that stays
// in one mode must also keep its bytes (lines re-joined with their endings
// are the stream) and, without flushes, split the same whole or in pieces.
//
// Input: [mode] [length hi] [length lo] [start] [op count] ops... data...
//   mode bit 0: start in frame mode; bit 1: a short frame (2..17 bytes);
//   bit 2: a start byte, which is the [start] byte.
//   Each op cuts one chunk: bits 0-4 its size (0 means 4097), bits 5-7 what
//   follows it: 0-3 nothing, 4 an idle read 99 ms later (no flush), 5 an
//   idle read 100 ms later (a flush), 6 a framing change (lines <-> frames),
//   7 an empty read and then an idle read 150 ms later.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "session/splitter.h"

namespace {

using lw::FrameSpec;
using lw::LineEnding;
using lw::LineRecord;
using lw::Millis;

struct Record {
  std::vector<uint8_t> bytes;
  Millis time = 0;
  LineEnding ending = LineEnding::None;
  bool operator==(const Record&) const = default;
};

// The splitter's rules read literally, one byte at a time.
class Model {
 public:
  explicit Model(std::optional<FrameSpec> framing) : framing_(framing) {}

  void feed(std::span<const uint8_t> chunk, Millis time, int64_t mono, std::vector<Record>& out) {
    if (chunk.empty()) return;
    for (const uint8_t c : chunk) {
      if (framing_) {
        frame_byte(c, time, out);
      } else {
        line_byte(c, time, out);
      }
    }
    last_read_ = mono;
  }

  void idle(int64_t mono, std::vector<Record>& out) {
    if (mono - last_read_ > 99) close(out);
  }

  void close(std::vector<Record>& out) {
    if (pending_cr_) {
      pending_cr_ = false;
      emit(LineEnding::Cr, out);
    } else if (!line_.empty()) {
      emit(LineEnding::None, out);
    }
  }

  void set_framing(std::optional<FrameSpec> framing, std::vector<Record>& out) {
    close(out);
    framing_ = framing;
    line_.clear();
  }

 private:
  void line_byte(uint8_t c, Millis time, std::vector<Record>& out) {
    if (pending_cr_) {
      pending_cr_ = false;
      if (c == 0x0A) {
        emit(LineEnding::CrLf, out);
        return;
      }
      emit(LineEnding::Cr, out);
    }
    if (line_.empty()) start_ = time;
    if (c == 0x0A) {
      emit(LineEnding::Lf, out);
    } else if (c == 0x0D) {
      pending_cr_ = true;
    } else {
      line_.push_back(c);
      if (line_.size() == lw::kMaxLineBytes) emit(LineEnding::None, out);
    }
  }

  void frame_byte(uint8_t c, Millis time, std::vector<Record>& out) {
    if (line_.empty() && framing_->start && c != *framing_->start) return;
    if (line_.empty()) start_ = time;
    line_.push_back(c);
    if (line_.size() == framing_->length) emit(LineEnding::None, out);
  }

  void emit(LineEnding ending, std::vector<Record>& out) {
    out.push_back(Record{line_, start_, ending});
    line_.clear();
  }

  std::optional<FrameSpec> framing_;
  std::vector<uint8_t> line_;
  Millis start_ = 0;
  bool pending_cr_ = false;
  int64_t last_read_ = 0;
};

void append_records(const std::vector<LineRecord>& from, std::vector<Record>& to) {
  for (const LineRecord& r : from) {
    LW_FUZZ_CHECK(r.direction == lw::Direction::Received);
    const std::span<const uint8_t> b = r.bytes.span();
    to.push_back(Record{std::vector<uint8_t>(b.begin(), b.end()), r.time, r.ending});
  }
}

// Bytes and endings only: the times depend on the chunking.
bool same_cuts(const std::vector<Record>& a, const std::vector<Record>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].bytes != b[i].bytes || a[i].ending != b[i].ending) return false;
  }
  return true;
}

std::vector<uint8_t> joined_with_endings(const std::vector<Record>& records) {
  std::vector<uint8_t> out;
  for (const Record& r : records) {
    out.insert(out.end(), r.bytes.begin(), r.bytes.end());
    if (r.ending == LineEnding::Cr || r.ending == LineEnding::CrLf) out.push_back(0x0D);
    if (r.ending == LineEnding::Lf || r.ending == LineEnding::CrLf) out.push_back(0x0A);
  }
  return out;
}

void check_lines(const std::vector<Record>& records, std::span<const uint8_t> data) {
  for (const Record& r : records) LW_FUZZ_CHECK(r.bytes.size() <= lw::kMaxLineBytes);
  const std::vector<uint8_t> joined = joined_with_endings(records);
  LW_FUZZ_CHECK(joined.size() == data.size());
  LW_FUZZ_CHECK(std::equal(joined.begin(), joined.end(), data.begin()));
}

void check_frames(const std::vector<Record>& records, const FrameSpec& framing,
                  std::span<const uint8_t> data, bool flushed) {
  std::vector<uint8_t> joined;
  for (size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    LW_FUZZ_CHECK(r.ending == LineEnding::None);
    LW_FUZZ_CHECK(!r.bytes.empty() && r.bytes.size() <= framing.length);
    // Only a flush or the end cuts a frame short.
    if (!flushed && i + 1 < records.size()) LW_FUZZ_CHECK(r.bytes.size() == framing.length);
    if (framing.start) LW_FUZZ_CHECK(r.bytes.front() == *framing.start);
    joined.insert(joined.end(), r.bytes.begin(), r.bytes.end());
  }
  if (!framing.start) {
    LW_FUZZ_CHECK(joined == std::vector<uint8_t>(data.begin(), data.end()));
    return;
  }
  // Dropping the bytes between frames leaves the rest in order.
  size_t at = 0;
  for (const uint8_t b : data) {
    if (at < joined.size() && joined[at] == b) ++at;
  }
  LW_FUZZ_CHECK(at == joined.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lw::fuzz::FuzzInput in(data, size);
  const uint8_t mode = in.byte();
  const uint16_t length_bits = in.u16();
  const uint8_t start = in.byte();
  FrameSpec framing;
  framing.length = (mode & 2) != 0 ? 2u + length_bits % 16u : 2u + length_bits % 4095u;
  if ((mode & 4) != 0) framing.start = start;
  const bool frames_first = (mode & 1) != 0;
  const size_t op_count = 1 + in.byte() % 16;
  std::vector<uint8_t> ops;
  for (size_t i = 0; i < op_count; ++i) ops.push_back(in.byte());
  const std::span<const uint8_t> stream = in.rest();

  const std::optional<FrameSpec> first =
      frames_first ? std::optional<FrameSpec>(framing) : std::nullopt;
  lw::Splitter splitter(first);
  Model model(first);
  std::vector<LineRecord> got;
  std::vector<Record> records;
  std::vector<Record> expected;
  bool framed = frames_first;
  bool flushed = false;
  bool switched = false;
  int64_t mono = 0;
  Millis time = 1'000;
  size_t pos = 0;
  for (size_t k = 0; pos < stream.size(); ++k) {
    const uint8_t op = ops[k % ops.size()];
    size_t n = op & 0x1F;
    if (n == 0) n = lw::kMaxLineBytes + 1;
    n = std::min(n, stream.size() - pos);
    const std::span<const uint8_t> chunk = stream.subspan(pos, n);
    pos += n;
    mono += 1;
    time += 1;
    splitter.feed(chunk, time, mono, got);
    model.feed(chunk, time, mono, expected);
    switch (op >> 5) {
      case 4:
        mono += 99;
        splitter.idle(mono, got);
        model.idle(mono, expected);
        break;
      case 5:
        mono += 100;
        splitter.idle(mono, got);
        model.idle(mono, expected);
        flushed = true;
        break;
      case 6: {
        framed = !framed;
        switched = true;
        const std::optional<FrameSpec> next =
            framed ? std::optional<FrameSpec>(framing) : std::nullopt;
        splitter.set_framing(next, got);
        model.set_framing(next, expected);
        LW_FUZZ_CHECK(splitter.framing() == next);
        break;
      }
      case 7:
        // An empty read is no read: the silence still counts from the last bytes.
        splitter.feed({}, time, mono + 50, got);
        model.feed({}, time, mono + 50, expected);
        mono += 150;
        splitter.idle(mono, got);
        model.idle(mono, expected);
        flushed = true;
        break;
      default:
        break;
    }
  }
  splitter.close_partial(got);
  model.close(expected);
  append_records(got, records);
  LW_FUZZ_CHECK(records == expected);

  if (switched) return 0;
  if (frames_first) {
    check_frames(records, framing, stream, flushed);
  } else {
    check_lines(records, stream);
  }
  if (!flushed) {
    // The same stream in one piece is cut in the same places.
    lw::Splitter whole(first);
    std::vector<LineRecord> whole_got;
    whole.feed(stream, 5, 1, whole_got);
    whole.close_partial(whole_got);
    std::vector<Record> whole_records;
    append_records(whole_got, whole_records);
    LW_FUZZ_CHECK(same_cuts(whole_records, records));
  }
  return 0;
}
