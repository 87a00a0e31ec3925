#include "send/file_send.h"

#include <algorithm>

namespace lw {

namespace {

size_t ending_length(LineEnding e) {
  switch (e) {
    case LineEnding::None:
      return 0;
    case LineEnding::Cr:
    case LineEnding::Lf:
      return 1;
    case LineEnding::CrLf:
      return 2;
  }
  return 0;
}

}  // namespace

bool looks_binary(std::span<const uint8_t> bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](uint8_t b) {
    return b < 0x20 && b != '\t' && b != '\n' && b != '\v' && b != '\f' && b != '\r' && b != 0x1B;
  });
}

FileSend::FileSend(std::vector<uint8_t> content, FileSendOptions options)
    : content_(std::move(content)), options_(options), binary_(looks_binary(content_)) {
  if (binary_) {
    total_ = content_.size();
    return;
  }
  // Lines end at CR, LF or CR LF, as a device's do; a last line without an
  // end is a line too.
  size_t start = 0;
  for (size_t i = 0; i < content_.size(); ++i) {
    const uint8_t b = content_[i];
    if (b != '\r' && b != '\n') continue;
    Line line{start, i - start, LineEnding::Lf};
    if (b == '\r') {
      const bool crlf = i + 1 < content_.size() && content_[i + 1] == '\n';
      line.ending = crlf ? LineEnding::CrLf : LineEnding::Cr;
      if (crlf) ++i;
    }
    lines_.push_back(line);
    start = i + 1;
  }
  if (start < content_.size()) lines_.push_back({start, content_.size() - start, LineEnding::None});
  for (const Line& line : lines_) total_ += wire_length(line);
}

size_t FileSend::wire_length(const Line& line) const {
  return line.length +
         (options_.by_line ? ending_bytes(options_.ending).size() : ending_length(line.ending));
}

std::optional<FilePiece> FileSend::take(uint64_t room, bool nothing_in_flight, int64_t now_ms,
                                        Millis wall) {
  if (all_queued() || now_ms < pause_until_) return std::nullopt;
  std::vector<uint8_t> out;
  FilePiece piece;
  if (binary_) {
    const uint64_t n = std::min<uint64_t>(room, total_ - queued_);
    if (n == 0) return std::nullopt;
    const auto from = content_.begin() + static_cast<std::ptrdiff_t>(queued_);
    out.assign(from, from + static_cast<std::ptrdiff_t>(n));
    queued_ += n;
  } else {
    while (next_line_ < lines_.size()) {
      const Line& line = lines_[next_line_];
      const size_t length = wire_length(line);
      const bool first = out.empty() && piece.sent.empty();
      if (out.size() + length > room && !(first && nothing_in_flight)) break;
      const uint8_t* from = content_.data() + line.start;
      out.insert(out.end(), from, from + line.length);
      LineRecord sent{Bytes(std::span<const uint8_t>(from, line.length)), wall, line.ending,
                      Direction::Sent};
      if (options_.by_line) {
        const std::string_view end = ending_bytes(options_.ending);
        out.insert(out.end(), end.begin(), end.end());
        sent.ending = record_ending(options_.ending);
      } else {
        // As it is: the line's own end goes with it.
        out.insert(out.end(), from + line.length, from + length);
      }
      piece.sent.push_back(std::move(sent));
      queued_ += length;
      ++next_line_;
      if (options_.by_line && options_.pause_ms > 0) {
        pause_until_ = now_ms + options_.pause_ms;
        break;
      }
    }
    if (piece.sent.empty()) return std::nullopt;
  }
  piece.bytes = Bytes(std::span<const uint8_t>(out));
  return piece;
}

}  // namespace lw
