#pragma once
// Files the program writes: UTF-8 with the byte-order mark and CR LF ends.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "base/result.h"

namespace lw {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Who may read a file the program writes (on Linux; Windows files take
// their folder's permissions).
enum class FileAccess : uint8_t { Everyone, Owner };

// The one way the program replaces a whole file: the parts go to a
// temporary file beside path, are flushed to the disk, and the file is
// renamed over path, then the folder is flushed too. A crash leaves either
// the old file or the whole new one; on failure path is untouched.
Status replace_file(const std::filesystem::path& path,
                    std::initializer_list<std::string_view> parts,
                    FileAccess access = FileAccess::Everyone);

// Creates the parent folders, then replaces the file with the BOM and the
// text as given (replace_file).
Status write_text_file(const std::filesystem::path& path, std::string_view text);

}  // namespace lw
