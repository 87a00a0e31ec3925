#pragma once
// Starting the downloaded installer.
#include <array>
#include <filesystem>
#include <span>
#include <string_view>

#include "base/result.h"

namespace lw {

inline constexpr std::array<std::string_view, 4> kInstallerArguments = {
    "/SILENT", "/SUPPRESSMSGBOXES", "/NORESTART", "/UPDATE=1"};

// Starts the program as a new process and returns without waiting; an
// error (with the system's text) means it did not start.
Status start_program(const std::filesystem::path& program, std::span<const std::string_view> args);

}  // namespace lw
