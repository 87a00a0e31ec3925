#pragma once
// How a stored record is shown: its text or hex dump, the checksum verdict of
// a frame, its timestamp, and its form on the clipboard. Everything is derived
// from the bytes when needed, so switching views changes every line at once.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"
#include "base/time.h"
#include "session/records.h"

namespace lw {

// The application-wide stamp mode, stored as a number.
enum class StampMode : uint8_t { Time = 0, DateAndTime = 1, SinceOpening = 2 };

// Unknown stored values mean Time.
StampMode stamp_mode_from_value(uint32_t value);

enum class FrameVerdict : uint8_t { None, Good, Bad };

// The text of a record. Mark: its text. hex: every byte and then the bytes of
// the ending as "48 65 0D 0A". Otherwise the decoded bytes with control
// characters (but TAB) shown as control pictures.
std::string line_text(const LineRecord& record, bool hex);
// The same into `out`, replaced; its capacity is reused.
void line_text(const LineRecord& record, bool hex, std::string& out);

// The decoding of line_text without the control pictures, for the per-line
// measurement pass: UTF-8 where valid, else a code page 949 pair, else the
// byte as U+0000..U+00FF. `out` is replaced; its capacity is reused.
void decode_line_text(std::span<const uint8_t> bytes, std::string& out);
std::string decode_line_text(std::span<const uint8_t> bytes);

// Applies to received frames (ending None) under a framing with a check.
FrameVerdict frame_verdict(const LineRecord& record, const std::optional<FrameSpec>& framing);
// What the log view draws after the text: "   ✓", "   ✗ bad checksum" or nothing.
std::string frame_verdict_suffix(FrameVerdict verdict);

// HH:MM:SS.mmm, YYYY-MM-DD HH:MM:SS.mmm, or +MM:SS.mmm / +H:MM:SS.mmm since
// opened_at (earlier times count as the opening itself).
std::string format_stamp(Millis time, Millis opened_at, StampMode mode);

// The framing dialog's text, such as "AA 8 sum" or "AA 8 crc16modbus": an
// optional hex start byte, the frame length 2..4096 (longer than its check)
// and an optional check keyword anywhere: sum, xor, crc8, crc16modbus,
// crc16ccitt, crc32 (or the catalogue's names, such as CRC-16/MODBUS).
Result<FrameSpec> parse_frame_spec(std::string_view text);
// The short form of a framing that parse_frame_spec reads back, such as "AA 8 sum".
std::string frame_spec_text(const FrameSpec& framing);

// One line as copied to the clipboard: "stamp  text", "stamp  → text" for a
// sent line, a mark's text alone.
std::string copy_text(const LineRecord& record, bool hex_view, StampMode mode, Millis opened_at);

}  // namespace lw
