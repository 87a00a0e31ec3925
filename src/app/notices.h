#pragma once
#include "app/app_state.h"
#include "app/host.h"

namespace lw {

inline constexpr int kNoticeMs = 3000;
inline constexpr int kNoticeWithActionsMs = 10000;
inline constexpr int kNoticeGraceMs = 100;

// Replaces the current notice and (re)starts its timer.
void show_notice(AppState& app, Host& host, Notice notice);
// Timer 1: removes the notice once its lifetime (less the grace) has passed.
void notice_timer(AppState& app, Host& host);

}  // namespace lw
