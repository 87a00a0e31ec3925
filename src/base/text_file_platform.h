#pragma once
// The system calls behind replace_file. Errors carry the system's code
// and message; the caller adds the path.
#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "base/result.h"
#include "base/text_file.h"

namespace lw::text_file_platform {

// Creates or truncates the file, writes the parts one after another, flushes
// them to the disk and closes the file. On failure the file is removed.
Status write_synced(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> parts, FileAccess access);
// Renames from to to, replacing a file already there.
Status replace(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes the file, ignoring any error.
void remove_quietly(const std::filesystem::path& path);
// Flushes the folder's entries to the disk, so a rename in it lasts; a
// failure only loses that guarantee.
void sync_folder(const std::filesystem::path& folder);
unsigned long process_id();

}  // namespace lw::text_file_platform
