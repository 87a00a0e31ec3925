#pragma once
// The commands that start with the system's open dialog: "Replay a log
// file…" in the main menu and "Send a file…" in the send bar's menu, and how
// files are sent. Free of the window, so tests call them directly.
#include <cstdint>

#include "app/app.h"

namespace lw {

// Asks for a log file (starting in the log folder) and replays it in a tab.
void replay_log_file(App& app);
// Asks for a file and sends it on the tab.
void send_file_command(App& app, Session& s);

// "SendFileLines" and "SendFilePause".
void set_send_file_by_line(App& app, bool by_line);
void set_send_file_pause(App& app, uint32_t ms);

// The pauses the menu offers, in milliseconds.
inline constexpr uint32_t kSendFilePauses[] = {0, 10, 50, 100, 500, 1000};

}  // namespace lw
