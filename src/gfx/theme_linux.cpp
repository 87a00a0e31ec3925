#include "gfx/theme_linux.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string_view>

#include "gfx/theme.h"

namespace lw {
namespace {

bool names_dark_variant(std::string_view theme) {
  for (std::string_view suffix : {":dark", "-dark", "-Dark", ":Dark"})
    if (theme.ends_with(suffix)) return true;
  return false;
}

// The desktop portal's org.freedesktop.appearance color-scheme: 1 prefers
// dark, 2 prefers light, 0 has no preference. -1 when there is no answer.
int portal_colour_scheme() {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) return -1;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
      "org.freedesktop.portal.Settings", "Read",
      g_variant_new("(ss)", "org.freedesktop.appearance", "color-scheme"), G_VARIANT_TYPE("(v)"),
      G_DBUS_CALL_FLAGS_NONE, 500, nullptr, nullptr);
  g_object_unref(bus);
  if (reply == nullptr) return -1;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  g_variant_unref(reply);
  // Older portals wrap the value in a second variant.
  while (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
    GVariant* inner = g_variant_get_variant(value);
    g_variant_unref(value);
    value = inner;
  }
  const int scheme = g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)
                         ? static_cast<int>(g_variant_get_uint32(value))
                         : -1;
  g_variant_unref(value);
  return scheme;
}

}  // namespace

bool gtk_settings_prefer_dark() {
  if (gdk_display_get_default() == nullptr) return false;
  GtkSettings* settings = gtk_settings_get_default();
  if (settings == nullptr) return false;
  gboolean prefer_dark = FALSE;
  gchar* name = nullptr;
  g_object_get(settings, "gtk-application-prefer-dark-theme", &prefer_dark, "gtk-theme-name", &name,
               nullptr);
  const bool dark = prefer_dark != FALSE || (name != nullptr && names_dark_variant(name));
  g_free(name);
  return dark;
}

std::optional<DesktopTheme> chosen_theme() {
  if (const char* theme = std::getenv("GTK_THEME"); theme != nullptr && *theme != '\0')
    return DesktopTheme{names_dark_variant(theme), false};
  switch (portal_colour_scheme()) {
    case 1:
      return DesktopTheme{true, true};
    case 2:
      return DesktopTheme{false, true};
    default:
      return std::nullopt;
  }
}

bool system_uses_dark_theme() {
  const std::optional<DesktopTheme> chosen = chosen_theme();
  return chosen ? chosen->dark : gtk_settings_prefer_dark();
}

}  // namespace lw
