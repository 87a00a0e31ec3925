#pragma once
// The four line endings of the send bar. The menu (and the stored "Ending")
// counts None, LF, CR, CRLF; a log record counts None, Cr, Lf, CrLf.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session/records.h"
#include "settings/settings.h"

namespace lw {

enum class EndingChoice : uint8_t { None = 0, Lf = 1, Cr = 2, CrLf = 3 };

inline constexpr std::string_view kEndingSetting = "Ending";
inline constexpr EndingChoice kDefaultEnding = EndingChoice::Lf;

// The menu index; out of range (or absent) gives LF.
EndingChoice ending_from_index(std::optional<uint32_t> index);
inline uint32_t ending_index(EndingChoice e) { return static_cast<uint32_t>(e); }

// The record coding of a Sent line's ending.
LineEnding record_ending(EndingChoice e);
// The bytes sent after the payload: "", "\n", "\r", "\r\n".
std::string_view ending_bytes(EndingChoice e);
// The menu's words: "None", "LF", "CR", "CRLF".
std::string ending_name(EndingChoice e);
// The send bar's label: "Ending LF".
std::string ending_label(EndingChoice e);

// "Ending" as a tab reads it when it opens, and as the menu stores it.
EndingChoice read_ending(Settings& settings);
void store_ending(Settings& settings, EndingChoice e);

}  // namespace lw
