#pragma once
// The values CSV: one row per received line that held numbers, with the
// time, the seconds since the first row and one column per value name.
//   time,elapsed_s,T,H,note
//   2026-12-06T14:03:22.517,0.000,21.5,40,
// A name first seen mid-run starts a new numbered file whose header has the
// new column; so do a new day and a file past the size limit.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/time.h"
#include "files/append_file.h"
#include "lab/extract.h"

namespace lw {

inline constexpr uint64_t kValuesCsvSizeLimit = 209'715'200;  // 200 MiB
inline constexpr size_t kValuesCsvBuffer = 64 * 1024;
// Rows kept while the file can't take them (a full disk).
inline constexpr size_t kValuesCsvBacklogLimit = 32 * 1024 * 1024;

// "COM3-Arduino Uno-values" for a tab's own file (the word follows the
// interface language); "ports-values" for the shared one.
std::string tab_values_base(std::string_view file_base);
std::string shared_values_base();

class ValuesCsvWriter {
 public:
  // shared: columns are named by port and value ("COM3 T").
  ValuesCsvWriter(std::filesystem::path folder, std::string base, bool shared,
                  uint64_t size_limit = kValuesCsvSizeLimit);
  ValuesCsvWriter(ValuesCsvWriter&&) noexcept = default;
  ValuesCsvWriter& operator=(ValuesCsvWriter&&) noexcept = default;
  ~ValuesCsvWriter();

  // One row; nothing without values and without a note. port_name names the
  // columns of a shared writer and is ignored otherwise. When the file
  // can't be made the row is dropped and the next row tries again; when it
  // can't take more (a full disk) the rows wait, up to the backlog limit,
  // and the next flush writes them.
  Status write_row(Millis stamp, std::span<const ExtractedValue> values, std::string_view note,
                   std::string_view port_name = {});
  // Hands the buffered rows to the file.
  Status flush();
  // Flushes and closes the file; the next row starts a new one.
  void close();

  bool shared() const { return shared_; }
  const std::vector<std::string>& columns() const { return columns_; }
  // The file rows go to, once one is open.
  const std::optional<std::filesystem::path>& file_path() const { return path_; }
  uint64_t bytes_written() const { return bytes_written_; }
  // Rows given up because the backlog of unwritten rows was full.
  uint64_t rows_dropped() const { return rows_dropped_; }

 private:
  // The column of a value name, or none. Lines repeat their names, so each
  // name's column is remembered in a small table by a hash of the name.
  size_t column_of(std::string_view port_name, std::string_view name);
  void remember_column(std::string_view port_name, std::string_view name, size_t column);
  Status start_file(Millis stamp);
  void append_header();
  // The row of the values whose columns write_row put in value_columns_.
  void append_row(Millis stamp, std::span<const ExtractedValue> values, std::string_view note);

  std::filesystem::path folder_;
  std::string base_;
  bool shared_;
  uint64_t size_limit_;
  std::optional<Millis> first_stamp_;
  std::vector<std::string> columns_;
  AppendFile file_;
  std::optional<std::filesystem::path> path_;
  std::string file_date_;
  int64_t file_day_ = 0;
  uint32_t file_number_ = 0;
  uint64_t bytes_written_ = 0;
  std::string buffer_;
  bool failing_ = false;  // the last write failed: the rows wait for the tick
  uint64_t rows_dropped_ = 0;
  std::vector<size_t> value_columns_;        // per value of the row; reused
  std::vector<const double*> row_cells_;     // per column of the row; reused
  std::array<uint32_t, 64> column_cache_{};  // column + 1 by name hash; 0 for none
  // "YYYY-MM-DDTHH:MM:SS." of the second the last row fell in.
  std::optional<Millis> row_second_;
  std::string row_prefix_;
};

}  // namespace lw
