#pragma once
// "Record": every line a session appends to its log also goes to a file per
// port and day in the log folder, split into parts of 100 MiB.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"
#include "files/append_file.h"
#include "session/records.h"

namespace lw {

inline constexpr uint64_t kRecordingPartLimit = 104'857'600;  // 100 MiB
inline constexpr size_t kRecordingBufferSize = 64 * 1024;
// Lines kept while the file can't be written (a full disk, a folder that
// can't be made), so that none is lost when writing works again.
inline constexpr size_t kRecordingBacklogLimit = 32 * 1024 * 1024;

class Recording {
 public:
  // Opens nothing yet: the first line creates the folder and the file.
  Recording(std::filesystem::path folder, std::string port_name, std::string description,
            uint64_t size_limit = kRecordingPartLimit);
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;
  ~Recording();  // flushes and closes

  // recording_write: one line of the log, in hex or text as the tab shows.
  // A failure closes the file and keeps the lines not written; the next
  // flush opens the file again and writes them first.
  Status write(const LineRecord& record, bool hex);
  // recording_flush: the buffer to the file (the 2-second tick).
  Status flush();
  // Flushes and closes the file; a later write opens it again. Lines that
  // still can't be written are given up.
  void close();
  // Closing a recording tab: the session summary as "# " marks stamped now.
  void write_summary(std::span<const std::string> lines, Millis now);

  // The name of the file of now's day, part 1 (the start notice names it).
  std::string day_file_name(Millis now) const;
  const std::filesystem::path& folder() const { return folder_; }
  // The file being written, empty while none is open.
  const std::filesystem::path& current_path() const { return path_; }
  uint32_t part() const { return part_; }
  uint64_t bytes_written() const { return bytes_written_; }
  // Lines given up: beyond the backlog, or still unwritten at a change of
  // file or at close.
  uint64_t lines_dropped() const { return lines_dropped_; }

 private:
  Status open_file();
  Status write_out();
  // Done with the day and part being written: out to the file, closed.
  void finish_file();

  std::filesystem::path folder_;
  std::string port_name_;
  std::string description_;
  uint64_t size_limit_;
  std::string date_;       // of the file being written; kept after it closes
  bool has_file_ = false;  // lines are going to date_ and part_
  AppendFile file_;        // open while the file can be written
  std::filesystem::path path_;
  std::string buffer_;      // lines of the file not yet on disk
  Millis stamp_time_ = 0;   // the last line's stamp
  std::string stamp_text_;  // and its text, "2026-12-06 14:03:22.517"
  std::string text_;        // the line being written, decoded
  bool failing_ = false;    // the last write failed: wait for the tick
  uint64_t bytes_written_ = 0;
  uint64_t lines_dropped_ = 0;
  uint32_t part_ = 1;
};

// The notice texts of the "Record" toggle.
std::string recording_started_text(std::string_view file_name);
std::string recording_stopped_text();

}  // namespace lw
