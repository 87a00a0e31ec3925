#pragma once
// The one folder every file about a port's traffic goes to. It is chosen at
// start-up but created only when something is written into it.
#include <filesystem>
#include <optional>
#include <string>

#include "base/result.h"

namespace lw {

// The choice itself, free of the system: the "--docs" value unchanged, else
// Documents/Linewick, else <temp>/Linewick.
std::filesystem::path choose_log_folder(const std::optional<std::filesystem::path>& docs_option,
                                        const std::optional<std::filesystem::path>& documents,
                                        const std::filesystem::path& temp);

// The user's Documents folder, if the system can name it.
std::optional<std::filesystem::path> documents_folder();

// The log folder for this run; asks the system for Documents and the
// temporary folder. Creates nothing.
std::filesystem::path log_folder(const std::optional<std::filesystem::path>& docs_option);

// The folder as its user knows it: under the home folder written from "~"
// (~/Documents/Linewick), anything else in full.
std::string folder_as_shown(const std::filesystem::path& folder,
                            const std::optional<std::filesystem::path>& home);
// The same with this user's home folder ($HOME).
std::string folder_as_shown(const std::filesystem::path& folder);

// Creates the folder and its missing parents; called before every write.
Status ensure_folder(const std::filesystem::path& folder);

}  // namespace lw
