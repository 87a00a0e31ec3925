#pragma once
// The two file actions offered in notices: show a file with its program, and
// show it selected in its folder.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

// Opens a file, or a folder, with the program the desktop uses for it.
Status open_file(const std::filesystem::path& path);
// Opens the file's folder with the file selected; where the file manager
// can't select, the folder alone.
Status open_folder(const std::filesystem::path& file);
// "Open the log folder": creates the folder first.
Status open_log_folder(const std::filesystem::path& folder);

// The one argument explorer gets: /select,"C:\path\file.txt"
std::string explorer_select_argument(std::string_view path);

}  // namespace lw
