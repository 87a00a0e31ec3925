#pragma once
// Command presets: one click sends a command or runs a short sequence.
// Stored as "Commands", the texts joined by LF.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace lw {

inline constexpr std::string_view kCommandsSetting = "Commands";

// What a missing "Commands" gives.
std::vector<std::string> default_presets();
// Lines at LF (a CR before it dropped), each trimmed, empty ones dropped.
std::vector<std::string> parse_presets(std::string_view stored);
std::string join_presets(const std::vector<std::string>& presets);

std::vector<std::string> load_presets(Settings& settings);
// Appends the trimmed text and stores the list; the notice to show, or
// nothing when the text is blank.
std::optional<std::string> add_preset(std::vector<std::string>& presets, Settings& settings,
                                      std::string_view text);
// Removes the first preset equal to the text and stores the list.
void remove_preset(std::vector<std::string>& presets, Settings& settings, std::string_view text);

}  // namespace lw
