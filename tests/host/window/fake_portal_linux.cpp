// fake_portal SCHEME_FILE: the desktop portal's Settings interface on the
// session bus. Read("org.freedesktop.appearance", "color-scheme") answers
// the number in SCHEME_FILE (1 prefers dark, 2 light); SIGUSR1 reads the
// file again and announces it with SettingChanged. Prints "ready" once it
// owns its name; SIGTERM ends it.
#include <gio/gio.h>
#include <glib-unix.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr const char* kPath = "/org/freedesktop/portal/desktop";
constexpr const char* kInterface = "org.freedesktop.portal.Settings";
constexpr const char* kXml = R"(<node>
  <interface name="org.freedesktop.portal.Settings">
    <method name="Read">
      <arg type="s" name="namespace" direction="in"/>
      <arg type="s" name="key" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <signal name="SettingChanged">
      <arg type="s" name="namespace"/>
      <arg type="s" name="key"/>
      <arg type="v" name="value"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
</node>)";

struct Portal {
  std::string file;
  guint32 scheme = 0;
  GDBusConnection* bus = nullptr;
  GMainLoop* loop = nullptr;

  void reread() {
    std::ifstream in(file);
    unsigned v = 0;
    scheme = (in >> v) ? v : 0;
  }
};

void method(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name,
            GVariant* args, GDBusMethodInvocation* call, gpointer data) {
  auto* p = static_cast<Portal*>(data);
  const gchar* ns = nullptr;
  const gchar* key = nullptr;
  g_variant_get(args, "(&s&s)", &ns, &key);
  if (g_strcmp0(name, "Read") == 0 && g_strcmp0(ns, "org.freedesktop.appearance") == 0 &&
      g_strcmp0(key, "color-scheme") == 0) {
    g_dbus_method_invocation_return_value(call,
                                          g_variant_new("(v)", g_variant_new_uint32(p->scheme)));
    return;
  }
  g_dbus_method_invocation_return_dbus_error(call, "org.freedesktop.portal.Error.NotFound",
                                             "no such setting");
}

GVariant* property(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                   GError**, gpointer) {
  return g_variant_new_uint32(1);
}

gboolean changed(gpointer data) {
  auto* p = static_cast<Portal*>(data);
  p->reread();
  if (p->bus != nullptr) {
    g_dbus_connection_emit_signal(p->bus, nullptr, kPath, kInterface, "SettingChanged",
                                  g_variant_new("(ssv)", "org.freedesktop.appearance",
                                                "color-scheme", g_variant_new_uint32(p->scheme)),
                                  nullptr);
    g_dbus_connection_flush_sync(p->bus, nullptr, nullptr);
  }
  return G_SOURCE_CONTINUE;
}

gboolean stop(gpointer data) {
  g_main_loop_quit(static_cast<Portal*>(data)->loop);
  return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fake_portal SCHEME_FILE\n");
    return 2;
  }
  Portal portal;
  portal.file = argv[1];
  portal.reread();
  portal.loop = g_main_loop_new(nullptr, FALSE);
  GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kXml, nullptr);
  static const GDBusInterfaceVTable vtable = {method, property, nullptr, {}};

  const auto named = [](GDBusConnection*, const gchar*, gpointer) {
    std::printf("ready\n");
    std::fflush(stdout);
  };
  const auto lost = [](GDBusConnection*, const gchar*, gpointer data) {
    g_main_loop_quit(static_cast<Portal*>(data)->loop);
  };
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) return 1;
  g_dbus_connection_register_object(bus, kPath, info->interfaces[0], &vtable, &portal, nullptr,
                                    nullptr);
  portal.bus = bus;
  g_bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", G_BUS_NAME_OWNER_FLAGS_NONE,
                               named, lost, &portal, nullptr);
  g_unix_signal_add(SIGUSR1, changed, &portal);
  g_unix_signal_add(SIGTERM, stop, &portal);
  g_main_loop_run(portal.loop);
  g_dbus_node_info_unref(info);
  g_object_unref(bus);
  return 0;
}
