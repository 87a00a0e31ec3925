#include "sim/replay_reader.h"

#include <algorithm>

#include "base/ascii.h"

namespace lw {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kCsvHeader = "date,time,direction,text,hex";
constexpr std::string_view kSentArrow = "\xE2\x86\x92 ";  // "→ "
constexpr std::string_view kMarkStart = "\xE2\x94\x80";   // "─"
constexpr size_t kChunk = 64 * 1024;
// "2026-12-06 14:03:22.517" and the two blanks before the text.
constexpr size_t kStampLength = 23;
constexpr size_t kTextStart = kStampLength + 2;

std::optional<int> digits(std::string_view s, size_t at, size_t count) {
  if (at + count > s.size()) return std::nullopt;
  int v = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

void append_ending(std::vector<uint8_t>& out, LineEnding ending) {
  if (ending == LineEnding::Cr || ending == LineEnding::CrLf) out.push_back(0x0D);
  if (ending == LineEnding::Lf || ending == LineEnding::CrLf) out.push_back(0x0A);
}

std::vector<uint8_t> bytes_of(std::string_view s) { return {s.begin(), s.end()}; }

// A stamped line's time, or none when it has no whole stamp and the two
// blanks after it.
std::optional<Millis> stamp_of(std::string_view line) {
  if (line.size() < kTextStart || line[10] != ' ' || line.substr(kStampLength, 2) != "  ") {
    return std::nullopt;
  }
  return parse_stamp(line.substr(0, 10), line.substr(11, 12));
}

// The fields of one CSV row as the program writes them; none when the quotes
// don't close on the line.
std::optional<std::vector<std::string>> csv_fields(std::string_view line) {
  std::vector<std::string> fields;
  size_t i = 0;
  const size_t n = line.size();
  for (;;) {
    std::string f;
    if (i < n && line[i] == '"') {
      ++i;
      for (;;) {
        if (i >= n) return std::nullopt;
        if (line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            f += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        f += line[i++];
      }
    } else {
      const size_t j = std::min(line.find(',', i), n);
      f.assign(line.substr(i, j - i));
      i = j;
    }
    fields.push_back(std::move(f));
    if (i == n) break;
    if (line[i] != ',') return std::nullopt;
    ++i;
  }
  return fields;
}

// Calls f(text) for each whole line of `text`, as the reader cuts them; the
// last piece counts only at the file's end.
template <class F>
void each_line(std::string_view text, bool at_end, F&& f) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t i = text.find_first_of("\r\n", pos);
    if (i == std::string_view::npos) {
      if (at_end) f(text.substr(pos));
      return;
    }
    if (!f(text.substr(pos, i - pos))) return;
    pos = i + 1;
    if (text[i] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
}

}  // namespace

std::optional<Millis> parse_stamp(std::string_view date, std::string_view time) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return std::nullopt;
  if (time.size() != 12 || time[2] != ':' || time[5] != ':' || time[8] != '.') return std::nullopt;
  const auto y = digits(date, 0, 4);
  const auto mo = digits(date, 5, 2);
  const auto d = digits(date, 8, 2);
  const auto h = digits(time, 0, 2);
  const auto mi = digits(time, 3, 2);
  const auto s = digits(time, 6, 2);
  const auto ms = digits(time, 9, 3);
  if (!y || !mo || !d || !h || !mi || !s || !ms) return std::nullopt;
  if (*mo < 1 || *mo > 12 || *d < 1 || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
  const int64_t first = days_from_civil(*y, *mo, 1);
  const int64_t next = *mo == 12 ? days_from_civil(*y + 1, 1, 1) : days_from_civil(*y, *mo + 1, 1);
  if (*d > next - first) return std::nullopt;
  return millis_from_civil(CivilTime{*y, *mo, *d, *h, *mi, *s, *ms});
}

std::optional<std::vector<uint8_t>> parse_hex_dump(std::string_view text) {
  // Pairs joined by single blanks: "48 65", never "4865" or "48  65".
  if (text.empty() || (text.size() + 1) % 3 != 0) return std::nullopt;
  std::vector<uint8_t> out;
  out.reserve((text.size() + 1) / 3);
  for (size_t i = 0; i < text.size(); i += 3) {
    const int hi = hex_digit_value(text[i]);
    const int lo = hex_digit_value(text[i + 1]);
    if (hi < 0 || lo < 0 || (i + 2 < text.size() && text[i + 2] != ' ')) return std::nullopt;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return out;
}

std::vector<uint8_t> bytes_from_display_text(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (b == 0xE2 && i + 2 < text.size() && static_cast<uint8_t>(text[i + 1]) == 0x90) {
      const auto last = static_cast<uint8_t>(text[i + 2]);
      if (last >= 0x80 && last <= 0x9F) {
        out.push_back(static_cast<uint8_t>(last - 0x80));
        i += 2;
        continue;
      }
      if (last == 0xA1) {
        out.push_back(0x7F);
        i += 2;
        continue;
      }
    }
    out.push_back(b);
  }
  return out;
}

LineEnding ending_of(std::span<const uint8_t> bytes) {
  const size_t n = bytes.size();
  if (n >= 2 && bytes[n - 2] == 0x0D && bytes[n - 1] == 0x0A) return LineEnding::CrLf;
  if (n >= 1 && bytes[n - 1] == 0x0A) return LineEnding::Lf;
  if (n >= 1 && bytes[n - 1] == 0x0D) return LineEnding::Cr;
  return LineEnding::None;
}

ReplayReader::ReplayReader(ReplaySource source) : source_(std::move(source)) {}

bool ReplayReader::fill() {
  if (eof_) return false;
  buffer_.erase(0, pos_);
  pos_ = 0;
  chunk_.resize(kChunk);
  const Result<size_t> got = source_(chunk_);
  if (!got) {
    // What was read before the failure is kept; the line it cut stays unread.
    eof_ = true;
    failed_ = true;
    return false;
  }
  const size_t n = std::min(*got, kChunk);
  buffer_.append(reinterpret_cast<const char*>(chunk_.data()), n);
  if (n == 0) eof_ = true;
  return n > 0;
}

ReplayReader::Got ReplayReader::next_physical(Physical& out) {
  for (;;) {
    const size_t i = buffer_.find_first_of("\r\n", pos_);
    // A CR at the end of what was read may yet be followed by LF.
    const bool need_more =
        i == std::string::npos || (buffer_[i] == '\r' && i + 1 == buffer_.size());
    if (!need_more || eof_) {
      if (i == std::string::npos) {
        if (failed_ || pos_ == buffer_.size()) return failed_ ? Got::Broken : Got::End;
        if (buffer_.size() - pos_ > kReplayMaxLine) return Got::Broken;
        out.text.assign(buffer_, pos_);
        out.ending = LineEnding::None;
        pos_ = buffer_.size();
        return Got::Line;
      }
      if (i - pos_ > kReplayMaxLine) return Got::Broken;
      out.text.assign(buffer_, pos_, i - pos_);
      if (buffer_[i] == '\n') {
        out.ending = LineEnding::Lf;
        pos_ = i + 1;
      } else if (i + 1 < buffer_.size() && buffer_[i + 1] == '\n') {
        out.ending = LineEnding::CrLf;
        pos_ = i + 2;
      } else {
        out.ending = LineEnding::Cr;
        pos_ = i + 1;
      }
      return Got::Line;
    }
    if (buffer_.size() - pos_ > kReplayMaxLine + 1) return Got::Broken;
    fill();
  }
}

void ReplayReader::sniff() {
  while (!eof_ && buffer_.size() - pos_ < kReplaySniffBytes) fill();
  if (std::string_view(buffer_).substr(pos_).starts_with(kBom)) pos_ += kBom.size();

  const std::string_view start = std::string_view(buffer_).substr(pos_);
  bool first = true;
  bool stamped = false;
  bool any_received = false;
  bool all_hex = true;
  each_line(start, eof_, [&](std::string_view line) {
    if (first && !line.empty()) {
      first = false;
      if (line == kCsvHeader) {
        format_ = ReplayFormat::Csv;
        csv_header_ = true;
        return false;
      }
    }
    if (!stamp_of(line)) return true;
    stamped = true;
    const std::string_view text = line.substr(kTextStart);
    if (!text.starts_with(kSentArrow)) {
      any_received = true;
      all_hex = all_hex && parse_hex_dump(text).has_value();
    }
    return true;
  });
  if (format_ == ReplayFormat::Csv) return;
  if (stamped) {
    format_ = ReplayFormat::Stamped;
    hex_ = any_received && all_hex;
  }
}

std::optional<ReplayLine> ReplayReader::stop(uint64_t line) {
  stopped_ = true;
  unreadable_ = line;
  return std::nullopt;
}

std::optional<ReplayLine> ReplayReader::next() {
  if (stopped_) return std::nullopt;
  if (!started_) {
    started_ = true;
    sniff();
  }
  Physical p;
  for (;;) {
    const Got got = next_physical(p);
    if (got == Got::End) {
      stopped_ = true;
      return std::nullopt;
    }
    ++number_;
    if (got == Got::Broken || p.text.find('\0') != std::string::npos) return stop(number_);

    ReplayLine line;
    line.number = number_;
    switch (format_) {
      case ReplayFormat::Plain:
        line.bytes = bytes_of(p.text);
        append_ending(line.bytes, p.ending);
        line.ending = p.ending;
        return line;

      case ReplayFormat::Stamped: {
        if (p.text.empty() || p.text.starts_with(kMarkStart) || p.text.starts_with('#')) continue;
        line.stamp = stamp_of(p.text);
        if (!line.stamp) return stop(number_);
        const std::string_view text = std::string_view(p.text).substr(kTextStart);
        if (text.starts_with(kSentArrow)) continue;
        if (hex_) {
          if (std::optional<std::vector<uint8_t>> b = parse_hex_dump(text)) {
            line.ending = ending_of(*b);
            line.bytes = std::move(*b);
            return line;
          }
        }
        line.bytes = bytes_from_display_text(text);
        append_ending(line.bytes, p.ending);
        // An empty text without an end (a file cut short) is no line.
        if (line.bytes.empty()) continue;
        line.ending = p.ending;
        return line;
      }

      case ReplayFormat::Csv: {
        if (p.text.empty()) continue;
        if (csv_header_) {
          csv_header_ = false;
          continue;
        }
        const std::optional<std::vector<std::string>> f = csv_fields(p.text);
        if (!f || f->size() != 5) return stop(number_);
        line.stamp = parse_stamp((*f)[0], (*f)[1]);
        if (!line.stamp) return stop(number_);
        const std::string& direction = (*f)[2];
        if (direction == "tx" || direction == "mark") continue;
        if (direction != "rx") return stop(number_);
        std::optional<std::vector<uint8_t>> b = parse_hex_dump((*f)[4]);
        if (!b) return stop(number_);
        line.ending = ending_of(*b);
        line.bytes = std::move(*b);
        return line;
      }
    }
  }
}

}  // namespace lw
