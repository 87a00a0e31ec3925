#include <gio/gio.h>

#include <string>

#include "files/shell.h"

namespace lw {

namespace {

constexpr int kShowItemsTimeoutMs = 5000;

// GLib's allocations, freed when the scope ends.
struct GFreeString {
  char* p = nullptr;
  ~GFreeString() { g_free(p); }
};
struct GErrorHolder {
  GError* e = nullptr;
  ~GErrorHolder() {
    if (e != nullptr) g_error_free(e);
  }
  Error take(const char* what) const {
    return Error{e != nullptr ? e->code : 0,
                 std::string(what) + ": " + (e != nullptr ? e->message : "failed")};
  }
};

Result<std::string> file_uri(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path abs = std::filesystem::absolute(path, ec);
  if (ec) abs = path;
  GErrorHolder err;
  GFreeString uri{g_filename_to_uri(abs.c_str(), nullptr, &err.e)};
  if (uri.p == nullptr) return fail(err.take("g_filename_to_uri"));
  return std::string(uri.p);
}

void on_show_items(GObject* source, GAsyncResult* result, gpointer data) {
  auto* folder = static_cast<std::filesystem::path*>(data);
  GError* error = nullptr;
  GVariant* reply =
      g_dbus_connection_call_finish(reinterpret_cast<GDBusConnection*>(source), result, &error);
  if (reply != nullptr) {
    g_variant_unref(reply);
  } else {
    // No file manager answers over D-Bus: the folder without a selection.
    g_error_free(error);
    (void)open_file(*folder);
  }
  delete folder;
}

}  // namespace

Status open_file(const std::filesystem::path& path) {
  Result<std::string> uri = file_uri(path);
  if (!uri) return fail(uri.error());
  GErrorHolder err;
  if (!g_app_info_launch_default_for_uri(uri->c_str(), nullptr, &err.e)) {
    return fail(err.take("g_app_info_launch_default_for_uri"));
  }
  return {};
}

Status open_folder(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  Result<std::string> uri = file_uri(file);
  if (!uri) return fail(uri.error());
  GErrorHolder err;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &err.e);
  if (bus == nullptr) return open_file(folder);
  const char* uris[] = {uri->c_str(), nullptr};
  GVariant* args = g_variant_new("(^ass)", uris, "");
  // Asynchronous, so a file manager that starts slowly doesn't hold up the
  // window; the reply arrives through the main loop.
  g_dbus_connection_call(bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                         "org.freedesktop.FileManager1", "ShowItems", args, nullptr,
                         G_DBUS_CALL_FLAGS_NONE, kShowItemsTimeoutMs, nullptr, on_show_items,
                         new std::filesystem::path(folder));
  g_object_unref(bus);
  return {};
}

}  // namespace lw
