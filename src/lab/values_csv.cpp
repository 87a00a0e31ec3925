#include "lab/values_csv.h"

#include <algorithm>
#include <charconv>

#include "base/csv.h"
#include "base/number_format.h"
#include "base/text_file.h"
#include "base/utf8_path.h"
#include "files/log_folder.h"
#include "lab/same_text.h"
#include "lang/tr.h"

namespace lw {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

void append_digits(std::string& out, int value, int width) {
  char buf[8];
  for (int i = width - 1; i >= 0; --i) {
    buf[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(buf, static_cast<size_t>(width));
}

// YYYY-MM-DDTHH:MM:SS.mmm without the formatting library.
void append_row_time(std::string& out, Millis t) {
  const CivilTime c = civil_from_millis(t);
  if (c.year < 0 || c.year > 9999) {
    out += format_date(t);
  } else {
    append_digits(out, c.year, 4);
    out += '-';
    append_digits(out, c.month, 2);
    out += '-';
    append_digits(out, c.day, 2);
  }
  out += 'T';
  append_digits(out, c.hour, 2);
  out += ':';
  append_digits(out, c.minute, 2);
  out += ':';
  append_digits(out, c.second, 2);
  out += '.';
  append_digits(out, c.millisecond, 3);
}

// Seconds with three decimals; at most 25 bytes.
char* write_elapsed(char* out, Millis ms) {
  uint64_t magnitude = static_cast<uint64_t>(ms);
  if (ms < 0) {
    *out++ = '-';
    magnitude = static_cast<uint64_t>(-(ms + 1)) + 1;
  }
  out = std::to_chars(out, out + 24, magnitude / 1000).ptr;
  const unsigned frac = static_cast<unsigned>(magnitude % 1000);
  *out++ = '.';
  *out++ = static_cast<char>('0' + frac / 100);
  *out++ = static_cast<char>('0' + frac / 10 % 10);
  *out++ = static_cast<char>('0' + frac % 10);
  return out;
}

Millis floor_second(Millis t) {
  Millis s = t / 1000;
  if (t % 1000 < 0) --s;
  return s;
}

// A slot of the column table from the lengths and the end bytes of port and
// name, mixed by a multiplication so that every bit of them reaches the top
// bits, which are the slot.
size_t column_slot(std::string_view port, std::string_view name) {
  const auto byte = [](std::string_view t, bool last) -> uint64_t {
    return t.empty() ? 0 : static_cast<unsigned char>(last ? t.back() : t.front());
  };
  const uint64_t key = name.size() << 40 | byte(name, false) << 32 | byte(name, true) << 24 |
                       port.size() << 8 | byte(port, true);
  return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> 58);  // 64 slots
}

inline bool column_matches(std::string_view column, std::string_view port, std::string_view name) {
  if (port.empty()) return same_text(column, name);
  return column.size() == port.size() + 1 + name.size() && column.starts_with(port) &&
         column[port.size()] == ' ' && column.ends_with(name);
}

}  // namespace

std::string tab_values_base(std::string_view file_base) {
  return std::string(file_base) + "-" + tr("값", "values");
}

std::string shared_values_base() { return tr("포트-값", "ports-values"); }

ValuesCsvWriter::ValuesCsvWriter(std::filesystem::path folder, std::string base, bool shared,
                                 uint64_t size_limit)
    : folder_(std::move(folder)),
      base_(std::move(base)),
      shared_(shared),
      size_limit_(size_limit) {}

ValuesCsvWriter::~ValuesCsvWriter() { close(); }

size_t ValuesCsvWriter::column_of(std::string_view port_name, std::string_view name) {
  const std::string_view port = shared_ ? port_name : std::string_view();
  uint32_t& cached = column_cache_[column_slot(port, name)];
  if (cached != 0 && column_matches(columns_[cached - 1], port, name)) return cached - 1;
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (column_matches(columns_[i], port, name)) {
      cached = static_cast<uint32_t>(i + 1);
      return i;
    }
  }
  return kNotFound;
}

void ValuesCsvWriter::remember_column(std::string_view port_name, std::string_view name,
                                      size_t column) {
  const std::string_view port = shared_ ? port_name : std::string_view();
  column_cache_[column_slot(port, name)] = static_cast<uint32_t>(column + 1);
}

Status ValuesCsvWriter::write_row(Millis stamp, std::span<const ExtractedValue> values,
                                  std::string_view note, std::string_view port_name) {
  if (values.empty() && note.empty()) return {};
  if (!first_stamp_) first_stamp_ = stamp;
  bool grew = false;
  // What a position held last row is the first guess: lines repeat their
  // layout. (Columns are never removed, so an old index is still valid.)
  const std::string_view port = shared_ ? port_name : std::string_view();
  value_columns_.resize(values.size(), kNotFound);
  for (size_t i = 0; i < values.size(); ++i) {
    size_t c = value_columns_[i];
    if (c != kNotFound && column_matches(columns_[c], port, values[i].name)) continue;
    c = column_of(port_name, values[i].name);
    if (c == kNotFound) {
      std::string column;
      if (shared_) {
        column.append(port_name);
        column += ' ';
      }
      column += values[i].name;
      columns_.push_back(std::move(column));
      c = columns_.size() - 1;
      remember_column(port_name, values[i].name, c);
      grew = true;
    }
    value_columns_[i] = c;
  }
  const bool fits =
      file_.is_open() && !grew && day_number(stamp) == file_day_ && bytes_written_ <= size_limit_;
  if (!fits) {
    Status started = start_file(stamp);
    if (!started) return started;
  }
  if (buffer_.size() >= kValuesCsvBacklogLimit) {
    ++rows_dropped_;
    return fail(Error{0, "values backlog full"});
  }
  const size_t before = buffer_.size();
  append_row(stamp, values, note);
  bytes_written_ += buffer_.size() - before;
  if (failing_) return fail(Error{0, "values wait for the disk"});
  if (buffer_.size() >= kValuesCsvBuffer) return flush();
  return {};
}

Status ValuesCsvWriter::start_file(Millis stamp) {
  close();
  if (Status made = ensure_folder(folder_); !made) return made;
  if (const int64_t day = day_number(stamp); file_date_.empty() || day != file_day_) {
    file_day_ = day;
    file_date_ = format_date(stamp);
    file_number_ = 0;
  }
  while (true) {
    const uint32_t n = file_number_++;
    std::string name = base_ + "-" + file_date_;
    if (n > 0) name += "-" + std::to_string(file_number_);
    name += ".csv";
    std::filesystem::path path = folder_ / path_from_utf8(name);
    Result<AppendFile, CreateNewError> created = AppendFile::create_new(path);
    if (created.ok()) {
      file_ = std::move(*created);
      path_ = std::move(path);
      break;
    }
    if (!created.error().exists) {
      file_number_ = n;  // the name was never used
      return fail(created.error().error);
    }
  }
  buffer_.clear();
  append_header();
  bytes_written_ = buffer_.size();
  return {};
}

void ValuesCsvWriter::append_header() {
  buffer_ += kUtf8Bom;
  buffer_ += "time,elapsed_s";
  for (const std::string& column : columns_) {
    buffer_ += ',';
    append_csv_field(buffer_, column);
  }
  buffer_ += ",note\r\n";
}

void ValuesCsvWriter::append_row(Millis stamp, std::span<const ExtractedValue> values,
                                 std::string_view note) {
  // The first value of each name goes into its column.
  row_cells_.assign(columns_.size(), nullptr);
  for (size_t i = 0; i < values.size(); ++i) {
    const double*& cell = row_cells_[value_columns_[i]];
    if (cell == nullptr) cell = &values[i].value;
  }
  // Rows come many to a second: its date and time are written once.
  const Millis second = floor_second(stamp);
  if (row_second_ != second) {
    row_prefix_.clear();
    append_row_time(row_prefix_, second * 1000);
    row_prefix_.resize(row_prefix_.size() - 3);
    row_second_ = second;
  }
  // Time and elapsed seconds go in with one append.
  char head[128];
  char* w = head;
  if (row_prefix_.size() <= sizeof head - 32) {
    w = std::copy(row_prefix_.begin(), row_prefix_.end(), w);
  } else {
    buffer_ += row_prefix_;
  }
  const unsigned ms = static_cast<unsigned>(stamp - second * 1000);
  *w++ = static_cast<char>('0' + ms / 100);
  *w++ = static_cast<char>('0' + ms / 10 % 10);
  *w++ = static_cast<char>('0' + ms % 10);
  *w++ = ',';
  w = write_elapsed(w, stamp - *first_stamp_);
  buffer_.append(head, static_cast<size_t>(w - head));
  // Empty cells are only their commas: a run of them goes in at once.
  size_t commas = 0;
  for (const double* cell : row_cells_) {
    ++commas;
    if (cell == nullptr) continue;
    buffer_.append(commas, ',');
    commas = 0;
    append_shortest(buffer_, *cell);
  }
  buffer_.append(commas + 1, ',');
  if (!note.empty()) append_csv_field(buffer_, note);
  buffer_ += "\r\n";
}

Status ValuesCsvWriter::flush() {
  if (buffer_.empty() || !file_.is_open()) return {};
  // What did reach the file stays; the rest waits for the next tick and
  // follows it, so a disk that fills up and empties loses no row.
  size_t written = 0;
  Status s = file_.write(buffer_, &written);
  buffer_.erase(0, written);
  failing_ = !s;
  return s;
}

void ValuesCsvWriter::close() {
  (void)flush();
  file_.close();
  buffer_.clear();
  failing_ = false;
}

}  // namespace lw
