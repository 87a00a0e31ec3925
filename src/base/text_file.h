#pragma once
// Files the program writes: UTF-8 with the byte-order mark and CR LF ends.
#include <filesystem>
#include <string_view>

#include "base/result.h"

namespace lw {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Creates the parent folders, then writes the BOM and the text as given.
// The file is written under a temporary name and renamed into place, so a
// failure never leaves half a file behind.
Status write_text_file(const std::filesystem::path& path, std::string_view text);

}  // namespace lw
