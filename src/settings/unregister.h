#pragma once
// "--unregister": delete every stored setting and end before any window
// exists. The main files call this first, with the command line's arguments.
#include <span>
#include <string>

#include "settings/settings.h"

namespace lw {

inline constexpr std::string_view kUnregisterOption = "--unregister";

// True when any argument is exactly "--unregister". The list holds the
// arguments only; the argc/argv form skips argv[0], the program itself.
bool wants_unregister(std::span<const std::string> args);
bool wants_unregister(int argc, const char* const* argv);

// When asked for, runs forget_all and returns true: the caller then exits
// at once without creating a window.
bool handle_unregister(std::span<const std::string> args, Settings& s);
bool handle_unregister(int argc, const char* const* argv, Settings& s);

}  // namespace lw
