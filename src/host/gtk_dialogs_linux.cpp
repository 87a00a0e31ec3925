// The host's modal questions on GTK: popup menus, message boxes, the save
// dialog, and the input method's position. Each runs a nested main loop;
// the application stays in use meanwhile, so whatever arrives then (timers,
// posted messages, input) is dropped by the slot and never re-enters it.
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

#include "host/gtk_host_linux.h"
#include "lang/tr.h"

namespace lw {
namespace {

constexpr double kImeLineHeightDip = 18;  // the caret's line, for the candidate list

struct MenuRun {
  GMainLoop* loop = nullptr;
  std::optional<int> chosen;
};

void item_activated(GtkMenuItem* item, gpointer run) {
  static_cast<MenuRun*>(run)->chosen =
      GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), "linewick-id"));
}

// GTK deactivates the menu before it activates the chosen item, in the same
// event; the loop only ends after both.
void menu_closed(GtkWidget*, gpointer run) {
  GMainLoop* loop = static_cast<MenuRun*>(run)->loop;
  if (g_main_loop_is_running(loop)) g_main_loop_quit(loop);
}

void fill_menu(GtkWidget* menu, const std::vector<MenuItem>& items, MenuRun& run) {
  for (const MenuItem& it : items) {
    if (it.label.empty()) {
      gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
      continue;
    }
    const bool grey = it.label.front() == '#';
    const std::string label = grey ? it.label.substr(1) : it.label;
    GtkWidget* item = nullptr;
    if (it.checked) {
      item = gtk_check_menu_item_new_with_label(label.c_str());
      // Setting the state emits "activate": before the handler is connected.
      gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
    } else {
      item = gtk_menu_item_new_with_label(label.c_str());
    }
    if (!it.items.empty()) {
      GtkWidget* sub = gtk_menu_new();
      fill_menu(sub, it.items, run);
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), sub);
    } else {
      g_object_set_data(G_OBJECT(item), "linewick-id", GINT_TO_POINTER(it.id));
      g_signal_connect(item, "activate", G_CALLBACK(item_activated), &run);
    }
    if (grey) gtk_widget_set_sensitive(item, FALSE);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
}

GtkWindow* parent_of(GtkWidget* window) { return window != nullptr ? GTK_WINDOW(window) : nullptr; }

int run_message(GtkWidget* window, const std::string& caption, const std::string& text,
                GtkButtonsType buttons) {
  GtkWidget* box = gtk_message_dialog_new(
      parent_of(window),
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      GTK_MESSAGE_INFO, buttons, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return response;
}

// "*.csv" -> ".csv"; empty when the pattern names no extension.
std::string extension_of(const std::string& pattern) {
  const size_t dot = pattern.rfind('.');
  if (dot == std::string::npos || pattern.find_first_of("*?[", dot) != std::string::npos) return {};
  return pattern.substr(dot);
}

// "*.txt;*.csv" -> "*.txt", "*.csv".
std::vector<std::string> split_patterns(const std::string& patterns) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= patterns.size()) {
    const size_t end = std::min(patterns.find(';', start), patterns.size());
    if (end > start) out.push_back(patterns.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

}  // namespace

std::optional<int> GtkHost::popup_menu(const std::vector<MenuItem>& items, float x, float y) {
  if (area_ == nullptr || !gtk_widget_get_realized(area_) || items.empty()) return std::nullopt;
  MenuRun run;
  run.loop = g_main_loop_new(nullptr, FALSE);
  GtkWidget* menu = gtk_menu_new();
  g_object_ref_sink(menu);
  fill_menu(menu, items, run);
  gtk_menu_attach_to_widget(GTK_MENU(menu), area_, nullptr);
  g_signal_connect(menu, "deactivate", G_CALLBACK(menu_closed), &run);
  g_signal_connect(menu, "hide", G_CALLBACK(menu_closed), &run);
  gtk_widget_show_all(menu);

  const double s = device_scale();
  const GdkRectangle at{static_cast<int>(std::lround(x / s)), static_cast<int>(std::lround(y / s)),
                        1, 1};
  gtk_menu_popup_at_rect(GTK_MENU(menu), gtk_widget_get_window(area_), &at, GDK_GRAVITY_NORTH_WEST,
                         GDK_GRAVITY_NORTH_WEST, nullptr);
  // A menu that could not take the pointer and keyboard is never shown.
  if (gtk_widget_get_visible(menu)) g_main_loop_run(run.loop);

  g_signal_handlers_disconnect_by_data(menu, &run);
  gtk_widget_destroy(menu);
  g_object_unref(menu);
  g_main_loop_unref(run.loop);
  return run.chosen;
}

void GtkHost::message_box(const std::string& caption, const std::string& text) {
  run_message(window_, caption, text, GTK_BUTTONS_OK);
}

bool GtkHost::ask_yes_no(const std::string& caption, const std::string& text) {
  return run_message(window_, caption, text, GTK_BUTTONS_YES_NO) == GTK_RESPONSE_YES;
}

std::optional<SaveChoice> GtkHost::choose_save_file(const SaveDialogSetup& setup) {
  GtkFileChooserNative* dialog = gtk_file_chooser_native_new(
      setup.title.c_str(), parent_of(window_), GTK_FILE_CHOOSER_ACTION_SAVE, nullptr, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  std::vector<GtkFileFilter*> filters;  // owned by the chooser
  for (const SaveFileType& type : setup.types) {
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, type.label.c_str());
    gtk_file_filter_add_pattern(f, type.pattern.c_str());
    gtk_file_chooser_add_filter(chooser, f);
    filters.push_back(f);
  }
  if (!filters.empty()) gtk_file_chooser_set_filter(chooser, filters.front());
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  std::error_code ec;
  std::filesystem::create_directories(setup.folder, ec);  // a failure only leaves GTK's default
  if (!setup.folder.empty()) gtk_file_chooser_set_current_folder(chooser, setup.folder.c_str());
  const std::string extension = "." + setup.default_extension;
  gtk_file_chooser_set_current_name(chooser, (setup.suggested_name + extension).c_str());

  std::optional<SaveChoice> choice;
  while (gtk_native_dialog_run(GTK_NATIVE_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    gchar* name = gtk_file_chooser_get_filename(chooser);
    if (name == nullptr) break;
    SaveChoice c;
    c.path = name;
    g_free(name);
    GtkFileFilter* chosen = gtk_file_chooser_get_filter(chooser);
    for (size_t i = 0; i < filters.size(); ++i) {
      if (filters[i] == chosen) c.type_index = i;
    }
    // GTK leaves a name without extension as typed; the chosen type's
    // extension goes on, as the system's dialog does elsewhere. GTK asked
    // about replacing the name as typed, so a file with the completed name
    // is asked about here; No shows the dialog again.
    if (!c.path.has_extension()) {
      std::string ext = c.type_index < setup.types.size()
                            ? extension_of(setup.types[c.type_index].pattern)
                            : std::string();
      c.path += ext.empty() ? extension : ext;
      std::error_code exists_ec;
      if (std::filesystem::exists(c.path, exists_ec) &&
          !ask_yes_no(setup.title, fill(tr("{0} 파일이 이미 있습니다. 바꾸시겠습니까?",
                                           "{0} already exists. Do you want to replace it?"),
                                        {c.path.filename().string()}))) {
        gtk_file_chooser_set_current_name(chooser, c.path.filename().c_str());
        continue;
      }
    }
    choice = std::move(c);
    break;
  }
  g_object_unref(dialog);
  return choice;
}

std::optional<std::filesystem::path> GtkHost::choose_open_file(const OpenDialogSetup& setup) {
  GtkFileChooserNative* dialog = gtk_file_chooser_native_new(
      setup.title.c_str(), parent_of(window_), GTK_FILE_CHOOSER_ACTION_OPEN, nullptr, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  bool first = true;
  for (const SaveFileType& type : setup.types) {
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, type.label.c_str());
    for (const std::string& pattern : split_patterns(type.pattern)) {
      gtk_file_filter_add_pattern(f, pattern.c_str());
    }
    gtk_file_chooser_add_filter(chooser, f);
    if (first) gtk_file_chooser_set_filter(chooser, f);
    first = false;
  }
  std::error_code ec;
  if (!setup.folder.empty() && std::filesystem::is_directory(setup.folder, ec)) {
    gtk_file_chooser_set_current_folder(chooser, setup.folder.c_str());
  }
  std::optional<std::filesystem::path> chosen;
  if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
      chosen = std::filesystem::path(name);
      g_free(name);
    }
  }
  g_object_unref(dialog);
  return chosen;
}

void GtkHost::place_ime(float x, float y) {
  if (im_ == nullptr) return;
  const double s = device_scale();
  const GdkRectangle caret{static_cast<int>(std::lround(x / s)),
                           static_cast<int>(std::lround(y / s)), 1,
                           static_cast<int>(std::lround(kImeLineHeightDip * text_factor_))};
  gtk_im_context_set_cursor_location(im_, &caret);
}

}  // namespace lw
