#pragma once
// Reading a file back as the lines a device sent, for a replay: a recording
// or a saved text log of Linewick (stamped lines), a saved CSV log, or any
// text file of lines. The file is read as it is replayed, a chunk at a time,
// so its size does not matter.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/time.h"
#include "session/records.h"

namespace lw {

enum class ReplayFormat : uint8_t {
  Plain,    // any text: every line is a received line, 200 ms apart
  Stamped,  // "2026-12-06 14:03:22.517  text" lines, marks, a "# Linewick" header
  Csv,      // "date,time,direction,text,hex" and a row per line
};

// One received line of the file.
struct ReplayLine {
  std::vector<uint8_t> bytes;  // as the device sent them, the line's end included
  LineEnding ending = LineEnding::None;
  std::optional<Millis> stamp;  // when the file says it arrived
  uint64_t number = 0;          // its line number in the file, from 1
};

// Up to buf.size() bytes of the file; 0 at its end.
using ReplaySource = std::function<Result<size_t>(std::span<uint8_t>)>;

// Longer lines are not a log's: the file is not read past one.
inline constexpr size_t kReplayMaxLine = 64 * 1024;
// How much of the file's start decides its format.
inline constexpr size_t kReplaySniffBytes = 64 * 1024;

class ReplayReader {
 public:
  explicit ReplayReader(ReplaySource source);

  // The next received line; none at the end of the file or at the first line
  // that can't be read. Sent lines, marks and headers are passed over.
  std::optional<ReplayLine> next();
  // Known once next() was called.
  ReplayFormat format() const { return format_; }
  // Stamped files written while the tab showed hex hold the bytes as hex.
  bool hex() const { return hex_; }
  // The line next() stopped at: not text (a NUL byte), too long, a broken
  // stamp or row, or where the file could not be read further.
  std::optional<uint64_t> unreadable_line() const { return unreadable_; }

 private:
  struct Physical {
    std::string text;  // without its end
    LineEnding ending = LineEnding::None;
  };
  enum class Got { Line, End, Broken };
  bool fill();
  Got next_physical(Physical& out);
  void sniff();
  std::optional<ReplayLine> stop(uint64_t line);

  ReplaySource source_;
  std::vector<uint8_t> chunk_;  // what one read of the source fills
  std::string buffer_;
  size_t pos_ = 0;
  bool eof_ = false;
  bool failed_ = false;  // the source failed; what it gave before stays
  bool started_ = false;
  bool stopped_ = false;
  ReplayFormat format_ = ReplayFormat::Plain;
  bool hex_ = false;
  bool csv_header_ = false;  // the CSV header is still ahead
  uint64_t number_ = 0;      // physical lines taken so far
  std::optional<uint64_t> unreadable_;
};

// "YYYY-MM-DD" and "HH:MM:SS.mmm" as the program writes them, as a time.
std::optional<Millis> parse_stamp(std::string_view date, std::string_view time);

// "48 65 0D 0A" (either letter case) as bytes; none when it is anything else.
std::optional<std::vector<uint8_t>> parse_hex_dump(std::string_view text);

// A line's display text back to its bytes: the control pictures U+2400 to
// U+241F and U+2421 become the control characters they stand for.
std::vector<uint8_t> bytes_from_display_text(std::string_view text);

// The end a line's bytes carry: CR LF, LF, CR, or none.
LineEnding ending_of(std::span<const uint8_t> bytes);

}  // namespace lw
