#include "files/recording.h"

#include <algorithm>

#include "base/text_file.h"
#include "base/time.h"
#include "base/utf8_path.h"
#include "files/file_names.h"
#include "lang/tr.h"
#include "log/display.h"

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

Status Recording::open_file() {
  if (Status s = ensure_folder(folder_); !s) return s;
  for (;;) {
    std::filesystem::path path =
        folder_ / path_from_utf8(recording_file_name(port_name_, description_, date_, part_));
    Result<AppendFile> f = AppendFile::open(path);
    if (!f) return fail(f.error());
    if (f->initial_size() >= size_limit_) {
      ++part_;
      continue;
    }
    file_ = std::move(*f);
    path_ = std::move(path);
    break;
  }
  // An empty file gets the byte-order mark, whether it was just created or
  // left empty before; a file with content already has one.
  if (file_.initial_size() == 0) buffer_.insert(0, kUtf8Bom);
  bytes_written_ = file_.initial_size() + buffer_.size();
  return {};
}

Status Recording::write(const LineRecord& record, bool hex) {
  if (has_file_ && bytes_written_ >= size_limit_) {
    finish_file();
    ++part_;
  }
  // Every line of a chunk has the chunk's stamp: its text is made once.
  if (stamp_text_.empty() || record.time != stamp_time_) {
    stamp_time_ = record.time;
    stamp_text_ = format_date_time(record.time);
  }
  const std::string_view date = std::string_view(stamp_text_).substr(0, stamp_text_.find(' '));
  if (has_file_ && date != date_) finish_file();
  if (!has_file_) {
    if (date != date_) part_ = 1;
    date_ = date;
    has_file_ = true;
    bytes_written_ = 0;
  }
  if (!file_.is_open() && !failing_ && !open_file()) failing_ = true;
  line_text(record, hex, text_);
  const size_t before = buffer_.size();
  append_file_line(buffer_, record, stamp_text_, text_);
  buffer_ += "\r\n";
  if (buffer_.size() > kRecordingBacklogLimit) {
    buffer_.resize(before);
    ++lines_dropped_;
    return fail(Error{0, "recording backlog full"});
  }
  bytes_written_ += buffer_.size() - before;
  // While the file fails, the lines wait for the tick rather than trying
  // the disk again at every line.
  if (failing_) return fail(Error{0, "recording waits for the disk"});
  if (buffer_.size() >= kRecordingBufferSize) return write_out();
  return {};
}

Status Recording::write_out() {
  if (buffer_.empty()) return {};
  if (!file_.is_open()) {
    if (Status s = open_file(); !s) {
      failing_ = true;
      return s;
    }
  }
  size_t written = 0;
  Status s = file_.write(buffer_, &written);
  if (s) {
    buffer_.clear();
    failing_ = false;
    return s;
  }
  // What did reach the file stays there; the rest follows it once the file
  // opens again, measured anew.
  buffer_.erase(0, written);
  file_.close();
  path_.clear();
  failing_ = true;
  return s;
}

Status Recording::flush() { return write_out(); }

void Recording::finish_file() {
  (void)write_out();
  // Every line end still waiting is a line given up.
  lines_dropped_ += static_cast<uint64_t>(std::count(buffer_.begin(), buffer_.end(), '\n'));
  buffer_.clear();
  failing_ = false;
  file_.close();
  path_.clear();
  has_file_ = false;
}

void Recording::close() { finish_file(); }

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
