#pragma once
// The program's stored values by name, with their readers and writers. Each
// reader applies the value's default, so callers never repeat it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace lw {

namespace setting {
inline constexpr std::string_view kLanguage = "Language";
inline constexpr std::string_view kAutoOpen = "AutoOpen";
inline constexpr std::string_view kAutoReconnect = "AutoReconnect";
inline constexpr std::string_view kCutSave = "CutSave";
inline constexpr std::string_view kCutKeep = "CutKeep";
inline constexpr std::string_view kStampMode = "StampMode";
inline constexpr std::string_view kEnding = "Ending";
inline constexpr std::string_view kCsvShared = "CsvShared";
inline constexpr std::string_view kLatency = "Latency";
inline constexpr std::string_view kAutoUpdate = "AutoUpdate";
inline constexpr std::string_view kLastUpdateCheck = "LastUpdateCheck";
inline constexpr std::string_view kRules = "Rules";
inline constexpr std::string_view kCommands = "Commands";
inline constexpr std::string_view kPlacement = "Placement";
inline constexpr std::string_view kSendFileLines = "SendFileLines";
inline constexpr std::string_view kSendFilePause = "SendFilePause";
}  // namespace setting

// Flags (toggle() flips any of them).
inline bool auto_open(Settings& s) { return flag(s, setting::kAutoOpen); }
inline bool auto_reconnect(Settings& s) { return flag(s, setting::kAutoReconnect); }
inline bool cut_save(Settings& s) { return flag(s, setting::kCutSave); }
inline bool csv_shared(Settings& s) { return flag(s, setting::kCsvShared); }
inline bool show_latency(Settings& s) { return flag(s, setting::kLatency); }
inline bool auto_update(Settings& s) { return flag(s, setting::kAutoUpdate); }

// How much of the log a disconnect saves: 1 to 60 are minutes, more are lines.
inline constexpr uint32_t kDefaultCutKeep = 5;
inline constexpr std::array<uint32_t, 9> kCutKeepChoices = {1,  2,    5,     10,    30,
                                                            60, 1000, 10000, 100000};
inline constexpr bool cut_keep_counts_lines(uint32_t cut_keep) { return cut_keep > 60; }
// Absent or 0 gives 5 (minutes).
uint32_t cut_keep(Settings& s);
void set_cut_keep(Settings& s, uint32_t value);

// 0 time, 1 date and time, 2 time since opening; anything else gives 0.
uint32_t stamp_mode(Settings& s);
void set_stamp_mode(Settings& s, uint32_t mode);

// The ending added when sending: 0 None, 1 LF, 2 CR, 3 CRLF (note: not the
// order of LineEnding). Absent or above 3 gives 1.
uint32_t send_ending(Settings& s);
void set_send_ending(Settings& s, uint32_t ending);

// How files are sent: line by line (else as they are), and the pause
// between lines in milliseconds (absent gives 0, more than a minute a minute).
inline bool send_file_by_line(Settings& s) { return flag(s, setting::kSendFileLines); }
inline constexpr uint32_t kMaxSendFilePause = 60'000;
uint32_t send_file_pause(Settings& s);

// Seconds since 1970-01-01 UTC of the last automatic update check; 0 when
// absent or not a plain decimal number.
uint64_t last_update_check(Settings& s);
void set_last_update_check(Settings& s, uint64_t seconds);

// The stored alert rules and command presets; absent when never written
// (the owners then use their defaults).
std::optional<std::string> rules_text(Settings& s);
void set_rules_text(Settings& s, std::string_view text);
std::optional<std::string> commands_text(Settings& s);
void set_commands_text(Settings& s, std::string_view text);

// The main window's WINDOWPLACEMENT; only a value of exactly 44 bytes counts.
inline constexpr size_t kPlacementSize = 44;
std::optional<std::vector<uint8_t>> placement(Settings& s);
void set_placement(Settings& s, const std::vector<uint8_t>& bytes);

// The stored language text as it is; "" when absent. Which texts name a
// language is decided where the language is chosen.
std::string language_setting(Settings& s);
// A code, or "" to follow the system.
void set_language_setting(Settings& s, std::string_view code);

}  // namespace lw
