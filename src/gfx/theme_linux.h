#pragma once
// Linux: where the dark or light choice comes from. Only a choice the
// desktop portal made is handed on to GTK for the window frame, since the
// last fallback reads that very setting back.
#include <optional>

namespace lw {

struct DesktopTheme {
  bool dark = false;
  bool from_portal = false;
};

// GTK_THEME naming a variant (or not), else the portal's colour scheme when
// it prefers dark or light; none when neither chose.
std::optional<DesktopTheme> chosen_theme();
// The fallback: the display's GTK settings ask for a dark theme.
bool gtk_settings_prefer_dark();

}  // namespace lw
