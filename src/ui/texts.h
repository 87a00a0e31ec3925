#pragma once
// The window's texts that depend on state: the session state line, the
// empty-log hint, the In/Out amounts, the stamp mode label.
#include <cstdint>
#include <string>

#include "app/session.h"
#include "base/notice.h"
#include "gfx/palette.h"
#include "log/display.h"

namespace lw {

struct StateText {
  std::string text;
  Color colour;
};
StateText session_state_text(const Session& s, const Palette& palette);

// "No lines contain that text" (Matching only finds nothing), "Nothing
// received" (the port has been open), else the first-time hint. Empty when
// the log shows lines.
std::string empty_log_text(const Session& s);

// Byte counts for the In and Out amounts: 512 B, 1.5 KB, 12.0 MB.
std::string format_amount(uint64_t bytes);

// The stamp mode button: "Time", "Date & time" or "+00:00.000".
std::string stamp_mode_label(StampMode mode);

std::string notice_action_label(NoticeAction::Kind kind);

// The "Let go" button's tooltip and the log menu's item: letting another
// program use the port, or taking it back while the tab waits for it.
std::string let_go_label(const Session& s);

}  // namespace lw
