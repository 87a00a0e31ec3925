#pragma once
// Linux: files the updater writes are made anew, never opened through
// whatever already has their name.
#include <filesystem>

#include "base/result.h"

namespace lw {

// Removes what has the name (a planted link included, never what it points
// to), then creates the file for writing, mode 0600, with O_EXCL and
// O_NOFOLLOW: a link or file put there in between makes it fail rather
// than be followed. The open descriptor (close-on-exec), or the system's
// error.
Result<int> create_fresh_file(const std::filesystem::path& file);

}  // namespace lw
