#include "session/splitter.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lw {

namespace {

// The first CR or LF in [p, end), or end. Sixteen bytes at a time where the
// processor allows: this scan is most of the splitter's work.
const uint8_t* find_line_break(const uint8_t* p, const uint8_t* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8(0x0D);
  const __m128i lf = _mm_set1_epi8(0x0A);
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != 0x0A && *p != 0x0D) ++p;
  return p;
}

}  // namespace

Splitter::Splitter(std::optional<FrameSpec> framing) : framing_(framing) {
  buffer_.reserve(kMaxLineBytes);
}

void Splitter::emit(LineEnding ending, std::vector<LineRecord>& out) {
  out.push_back(LineRecord{Bytes(std::span<const uint8_t>(buffer_)), start_time_, ending,
                           Direction::Received});
  buffer_.clear();
}

void Splitter::emit_direct(std::span<const uint8_t> bytes, Millis time, LineEnding ending,
                           std::vector<LineRecord>& out) {
  out.push_back(LineRecord{Bytes(bytes), time, ending, Direction::Received});
}

void Splitter::feed(std::span<const uint8_t> chunk, Millis time, int64_t mono,
                    std::vector<LineRecord>& out) {
  if (chunk.empty()) return;
  if (framing_) {
    feed_frames(chunk, time, out);
  } else {
    feed_lines(chunk, time, out);
  }
  last_read_mono_ = mono;
}

void Splitter::feed_lines(std::span<const uint8_t> chunk, Millis time,
                          std::vector<LineRecord>& out) {
  const uint8_t* p = chunk.data();
  const size_t n = chunk.size();
  size_t i = 0;
  while (i < n) {
    if (pending_cr_) {
      pending_cr_ = false;
      if (p[i] == 0x0A) {
        emit(LineEnding::CrLf, out);
        ++i;
        continue;
      }
      emit(LineEnding::Cr, out);
    }
    if (buffer_.empty()) start_time_ = time;
    const size_t limit = std::min(n, i + (kMaxLineBytes - buffer_.size()));
    const size_t j = static_cast<size_t>(find_line_break(p + i, p + limit) - p);
    if (j == limit) {
      buffer_.insert(buffer_.end(), p + i, p + j);
      i = j;
      if (buffer_.size() == kMaxLineBytes) emit(LineEnding::None, out);
      continue;
    }
    LineEnding ending;
    size_t next;
    if (p[j] == 0x0A) {
      ending = LineEnding::Lf;
      next = j + 1;
    } else if (j + 1 < n && p[j + 1] == 0x0A) {
      ending = LineEnding::CrLf;
      next = j + 2;
    } else {
      // A lone CR at the end of the chunk: wait for the next byte.
      buffer_.insert(buffer_.end(), p + i, p + j);
      pending_cr_ = true;
      i = j + 1;
      if (i < n) {
        // The next byte is here and is not LF.
        pending_cr_ = false;
        emit(LineEnding::Cr, out);
      }
      continue;
    }
    if (buffer_.empty()) {
      emit_direct({p + i, j - i}, start_time_, ending, out);
    } else {
      buffer_.insert(buffer_.end(), p + i, p + j);
      emit(ending, out);
    }
    i = next;
  }
}

void Splitter::feed_frames(std::span<const uint8_t> chunk, Millis time,
                           std::vector<LineRecord>& out) {
  const FrameSpec& frame = *framing_;
  const uint8_t* p = chunk.data();
  const size_t n = chunk.size();
  size_t i = 0;
  while (i < n) {
    if (buffer_.empty()) {
      if (frame.start) {
        // Bytes between frames are dropped silently.
        const void* hit = std::memchr(p + i, *frame.start, n - i);
        if (!hit) return;
        i = static_cast<size_t>(static_cast<const uint8_t*>(hit) - p);
      }
      start_time_ = time;
    }
    const size_t take = std::min<size_t>(n - i, frame.length - buffer_.size());
    if (buffer_.empty() && take == frame.length) {
      emit_direct({p + i, take}, time, LineEnding::None, out);
    } else {
      buffer_.insert(buffer_.end(), p + i, p + i + take);
      if (buffer_.size() == frame.length) emit(LineEnding::None, out);
    }
    i += take;
  }
}

void Splitter::idle(int64_t mono, std::vector<LineRecord>& out) {
  if (mono - last_read_mono_ > kIdleFlushAfterMs) close_partial(out);
}

void Splitter::close_partial(std::vector<LineRecord>& out) {
  if (pending_cr_) {
    pending_cr_ = false;
    emit(LineEnding::Cr, out);
  } else if (!buffer_.empty()) {
    emit(LineEnding::None, out);
  }
}

void Splitter::set_framing(std::optional<FrameSpec> framing, std::vector<LineRecord>& out) {
  close_partial(out);
  framing_ = framing;
  buffer_.clear();
}

}  // namespace lw
