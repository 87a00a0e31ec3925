#include "app/file_commands.h"

#include "lang/tr.h"
#include "settings/values.h"

namespace lw {

namespace {

SaveFileType all_files() { return {tr("모든 파일", "All files"), "*"}; }

}  // namespace

void replay_log_file(App& app) {
  OpenDialogSetup setup;
  setup.title = tr("로그 파일 재생", "Replay a log file");
  setup.types = {
      {tr("로그 (*.txt, *.csv, *.log)", "Logs (*.txt, *.csv, *.log)"), "*.txt;*.csv;*.log"},
      all_files()};
  setup.folder = app.state().log_folder;
  if (const std::optional<std::filesystem::path> file = app.host().choose_open_file(setup)) {
    (void)app.open_replay_tab(*file);
  }
}

void send_file_command(App& app, Session& s) {
  OpenDialogSetup setup;
  setup.title = tr("파일 보내기", "Send a file");
  setup.types = {all_files()};
  const uint64_t id = s.id;
  const std::optional<std::filesystem::path> file = app.host().choose_open_file(setup);
  // The dialog is modal, but the tab may have gone while it was open.
  Session* tab = app.state().find_session(id);
  if (file && tab != nullptr) app.send_file(*tab, *file);
}

void set_send_file_by_line(App& app, bool by_line) {
  app.settings().set_dword(setting::kSendFileLines, by_line ? 1 : 0);
}

void set_send_file_pause(App& app, uint32_t ms) {
  app.settings().set_dword(setting::kSendFilePause, ms);
}

}  // namespace lw
