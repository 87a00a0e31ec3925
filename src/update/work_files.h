#pragma once
// Where the updater keeps what it downloads.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

inline constexpr std::string_view kWorkFolderName = "Linewick";
inline constexpr std::string_view kDocumentFileName = "update.json";

// "Linewick-Setup-" + version + ".exe".
std::string installer_file_name(std::string_view version);

// The system's temporary folder with the subfolder work_folder_name()
// (not created).
Result<std::filesystem::path> default_work_folder();
// Windows: "Linewick" (the temporary folder is the user's own). Linux:
// "Linewick-<user id>", since /tmp is shared by every user.
std::string work_folder_name();

// Creates the folder (Linux: mode 0700) and its parents when needed.
// Linux: the folder must be a real directory (not a link) of this user
// that nobody else could write into: one writable by group or others may
// hold links or files planted by someone else and is refused; one that is
// merely readable by others is narrowed to 0700. Windows: the user's
// temporary folder is the user's alone; nothing to check.
Status ensure_private_folder(const std::filesystem::path& folder);

// Deletes a file if it is there; errors are ignored (the file is either
// gone or the next run overwrites it).
void remove_quietly(const std::filesystem::path& file);

// The text of a file as it is.
Result<std::string> read_whole_file(const std::filesystem::path& file);

// The file's length, or the system's error text.
Result<uint64_t> file_length(const std::filesystem::path& file);

}  // namespace lw
