#pragma once
// The Documents folder of a desktop that follows the XDG user directories.
#include <filesystem>
#include <optional>
#include <string_view>

namespace lw {

// Reads XDG_DOCUMENTS_DIR from the text of user-dirs.dirs: "$HOME/..." is
// relative to home, anything else must be absolute. A value that is home
// itself means the folder is switched off.
std::optional<std::filesystem::path> xdg_documents_dir(std::string_view user_dirs_text,
                                                       const std::filesystem::path& home);

}  // namespace lw
