#include "app/menu_commands.h"

#include <vector>

#include "files/log_folder.h"
#include "lang/languages.h"
#include "lang/tr.h"
#include "settings/values.h"

namespace lw {

void toggle_setting(App& app, std::string_view name) {
  (void)toggle(app.settings(), name);
  app.host().request_repaint();
}

void toggle_csv_shared(App& app) {
  AppState& state = app.state();
  if (!state.lab) {
    (void)toggle(app.settings(), setting::kCsvShared);
    return;
  }
  std::vector<TabLab*> tabs;
  for (auto& s : state.sessions) tabs.push_back(&s->lab);
  app.show_notice(toggle_shared_mode(*state.lab, tabs));
  app.host().request_repaint();
}

void set_cut_keep(App& app, uint32_t value) {
  set_cut_keep(app.settings(), value);
  app.host().request_repaint();
}

void store_language(App& app, std::string_view code) {
  const std::string stored = is_language_code(code) ? std::string(code) : std::string();
  set_language_setting(app.settings(), stored);
  // Texts already made (menus, file names, marks) stay as they are; the
  // whole program changes language together at its next start.
  app.show_notice(Notice{language_change_notice(), false, {}});
}

void open_log_folder(App& app) {
  const std::filesystem::path& folder = app.state().log_folder;
  (void)ensure_folder(folder);  // the shell says so itself when it can't open it
  app.host().open_file(folder);
}

void open_maker_page(App& app) { app.host().open_url(maker_web_page()); }

}  // namespace lw
