#pragma once
// Names and line formats of the files in the log folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/time.h"
#include "files/log_folder.h"
#include "session/records.h"

namespace lw {

// Control characters and < > : " / \ | ? * become blanks, white space runs
// become one blank, the ends are trimmed, at most 60 characters are kept and
// trailing dots and blanks are removed.
std::string clean_name(std::string_view name);

// "COM3-Arduino Uno", or just "COM3" when the description is empty or the
// same as the port name once cleaned.
std::string file_base(std::string_view port_name, std::string_view description);

// The recording file of a day: "COM3-Arduino Uno-2026-12-06.txt" for part 1,
// "COM3-Arduino Uno-2026-12-06-2.txt" for part 2 and later. date is YYYY-MM-DD.
std::string recording_file_name(std::string_view port_name, std::string_view description,
                                std::string_view date, uint32_t part);

// "COM3-Arduino Uno-2026-12-06 140322-disconnected.txt"; the event word is a
// translated text and is cleaned like a name.
std::string event_file_name(std::string_view port_name, std::string_view description, Millis time,
                            std::string_view event_word);

// "COM3-Arduino Uno-2026-12-06 140322", without extension; the save dialog
// adds one.
std::string save_log_name(std::string_view port_name, std::string_view description, Millis now);

// "# Linewick · COM3 · Arduino Uno · 9600 8N1" (no line end).
std::string header_line(std::string_view port_name, std::string_view description,
                        const PortSettings& settings);

// A log line as it stands in every text file (no line end):
//   received  "2026-12-06 14:03:22.517  T=21.5 H=40"
//   sent      "2026-12-06 14:03:22.517  → *IDN?"
//   mark      the mark text alone
// with the text in hex form when hex is true.
std::string file_line(const LineRecord& record, bool hex);
// The same appended to `out`, from the record's stamp and text already
// formatted (format_date_time, line_text): a recording formats the stamp of
// a chunk once for all its lines. A mark ignores the stamp.
void append_file_line(std::string& out, const LineRecord& record, std::string_view stamp,
                      std::string_view text);

}  // namespace lw
