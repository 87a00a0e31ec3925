#pragma once
// File operations of the settings file that differ by system.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

// Changes whenever the file is replaced or rewritten.
struct FileStamp {
  uint64_t id = 0;
  uint64_t size = 0;
  uint64_t modified = 0;
  bool operator==(const FileStamp&) const = default;
};

// Absent when the file doesn't exist or cannot be examined.
std::optional<FileStamp> file_stamp(const std::filesystem::path& path);

enum class ReadOutcome : uint8_t { Absent, Read, Unreadable };

struct FileRead {
  ReadOutcome outcome = ReadOutcome::Absent;
  std::string bytes;
};

FileRead read_stored_file(const std::filesystem::path& path);

}  // namespace lw
