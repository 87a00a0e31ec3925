#pragma once
// Dark or light: which palette the system asks for.

namespace lw {

// Windows: the user's "AppsUseLightTheme" value is 0 (a missing value means
// light). Linux: GTK_THEME names a dark variant, the desktop portal's
// colour scheme prefers dark, or the open display's GTK settings ask for a
// dark theme. The window asks again when the system says the setting changed.
bool system_uses_dark_theme();

}  // namespace lw
