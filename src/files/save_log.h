#pragma once
// "Save log…": the whole log of a tab as text with times or as CSV. The
// dialog is the window's; everything around it is here.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/time.h"
#include "log/log.h"
#include "session/records.h"

namespace lw {

enum class SaveFormat : uint8_t { Text = 0, Csv = 1 };

// The port a log belongs to, for the header line and the file names.
struct LogOrigin {
  std::string_view port_name;
  std::string_view description;
  PortSettings settings;
};

struct SaveFileType {
  std::string label;    // "Text with times (*.txt)"
  std::string pattern;  // "*.txt"
};

// What the save dialog is opened with. The file types are in SaveFormat
// order, so the dialog's chosen index is a SaveFormat.
struct SaveDialogSetup {
  std::string title;
  std::vector<SaveFileType> types;
  std::string default_extension;  // "txt"
  std::string suggested_name;     // without extension
  std::filesystem::path folder;   // the log folder, created for the dialog
};

// Empty logs are not saved: the caller shows no_log_to_save_text() instead
// of opening the dialog.
bool can_save_log(const Log& log);
std::string no_log_to_save_text();

SaveDialogSetup save_dialog_setup(const LogOrigin& origin, const std::filesystem::path& folder,
                                  Millis now);

// CSV when the dialog's type is CSV or the name ends in ".csv" in any case.
SaveFormat save_format(const std::filesystem::path& chosen, size_t type_index);

// The header line, then every line as in the recording, each with CR LF.
std::string log_as_text(const Log& log, bool hex, const LogOrigin& origin);
// "date,time,direction,text,hex" and one row per line, each with CR LF.
std::string log_as_csv(const Log& log);
// One row without its line end: 2026-12-06,14:03:22.517,rx,"a,""b""",61 2C 22 62 22 0D 0A
std::string csv_row(const LineRecord& record);

struct SaveLogResult {
  bool saved = false;
  std::filesystem::path path;  // the file written, for "Open" and "Open folder"
  std::string notice;          // "Saved: log.txt" or "Couldn't save"
  bool error = false;
};

// Writes the log to the path the dialog returned.
SaveLogResult save_log(const Log& log, const LogOrigin& origin, const std::filesystem::path& chosen,
                       size_t type_index);

}  // namespace lw
