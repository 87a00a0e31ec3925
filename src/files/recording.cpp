#include "files/recording.h"

#include "base/text_file.h"
#include "base/time.h"
#include "files/file_names.h"
#include "files/utf8_path.h"
#include "lang/tr.h"

namespace lw {

Recording::Recording(std::filesystem::path folder, std::string port_name, std::string description,
                     uint64_t size_limit)
    : folder_(std::move(folder)),
      port_name_(std::move(port_name)),
      description_(std::move(description)),
      size_limit_(size_limit) {
  buffer_.reserve(kRecordingBufferSize);
}

Recording::~Recording() { close(); }

std::string Recording::day_file_name(Millis now) const {
  return recording_file_name(port_name_, description_, format_date(now), 1);
}

Status Recording::open_for(std::string_view date) {
  if (Status s = ensure_folder(folder_); !s) return s;
  if (date != date_) part_ = 1;
  for (;;) {
    std::filesystem::path path =
        folder_ / path_from_utf8(recording_file_name(port_name_, description_, date, part_));
    Result<AppendFile> f = AppendFile::open(path);
    if (!f) return fail(f.error());
    if (f->initial_size() >= size_limit_) {
      ++part_;
      continue;
    }
    file_ = std::move(*f);
    path_ = std::move(path);
    bytes_written_ = file_.initial_size();
    break;
  }
  // An empty file gets the byte-order mark, whether it was just created or
  // left empty before; a file with content already has one.
  if (bytes_written_ == 0) {
    buffer_.append(kUtf8Bom);
    bytes_written_ += kUtf8Bom.size();
  }
  date_ = std::string(date);
  return {};
}

Status Recording::write(const LineRecord& record, bool hex) {
  if (file_.is_open() && bytes_written_ >= size_limit_) {
    close();
    ++part_;
  }
  const std::string date = format_date(record.time);
  if (file_.is_open() && date != date_) close();
  if (!file_.is_open()) {
    if (Status s = open_for(date); !s) return s;
  }
  const std::string line = file_line(record, hex);
  if (buffer_.size() + line.size() + 2 > kRecordingBufferSize) {
    if (Status s = write_out(); !s) return s;
  }
  buffer_ += line;
  buffer_ += "\r\n";
  bytes_written_ += line.size() + 2;
  if (buffer_.size() >= kRecordingBufferSize) return write_out();
  return {};
}

Status Recording::write_out() {
  if (buffer_.empty() || !file_.is_open()) return {};
  Status s = file_.write(buffer_);
  buffer_.clear();
  if (!s) {
    // Lines that could not be written are dropped with the file; the next
    // line opens it again and measures it anew.
    file_.close();
    path_.clear();
  }
  return s;
}

Status Recording::flush() { return write_out(); }

void Recording::close() {
  (void)write_out();
  buffer_.clear();
  file_.close();
  path_.clear();
}

void Recording::write_summary(std::span<const std::string> lines, Millis now) {
  for (const std::string& line : lines) {
    LineRecord mark;
    mark.bytes = Bytes("# " + line);
    mark.time = now;
    mark.direction = Direction::Mark;
    (void)write(mark, false);
  }
  close();
}

std::string recording_started_text(std::string_view file_name) {
  return fill(tr("수신한 줄을 {0}에 기록합니다 (날마다 새 파일)",
                 "Received lines are written to {0} (a new file each day)"),
              {file_name});
}

std::string recording_stopped_text() { return tr("기록을 멈췄습니다", "Recording stopped"); }

}  // namespace lw
