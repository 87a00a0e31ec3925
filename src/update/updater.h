#pragma once
// The self-update: a check worker fetches the update document, the user is
// asked, a download worker fetches and checks the installer, and the window
// thread starts it. The app owns one Updater and calls it on the window
// thread only; the workers touch nothing but their result slots and the
// poster.
//
// Wiring (all on the window thread):
//   Updater updater(host.poster());
//   // start-up, after the window is shown:
//   updater.maybe_start_daily_check(settings, unix_seconds_now());
//   // menu "Check for updates":
//   apply(updater.start_check(true));
//   // on_message: kMsgUpdateResult -> apply(updater.on_check_result());
//   //             kMsgUpdateInstall -> apply(updater.on_download_result());
//   // where apply() shows reaction.notice, asks reaction.question (Yes/No
//   // box titled question.title) and then calls
//   //   apply(updater.answer_update_question(question.id, yes)),
//   // and closes the main window when reaction.close_window is set.
//
// Both messages come with zero parameters; the results travel through the
// slots. A message whose slot is already empty gives an empty reaction.
//
// One update at a time: from the start of a check until its result is
// shown, its question answered No, or the accepted download's result is
// handled, a further check does nothing, so two workers never write the
// same files.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/host.h"
#include "base/notice.h"
#include "update/platform.h"
#include "update/workers.h"

namespace lw {

class Settings;

// A Yes/No question box (MB_YESNO | MB_ICONQUESTION on Windows). The
// answer goes back through Updater::answer_update_question(id, yes).
struct UpdateQuestion {
  uint64_t id = 0;
  std::string title;  // "Linewick"
  std::string text;
};

// What the window must do after an updater call; every part may be absent.
struct UpdateReaction {
  std::optional<Notice> notice;
  std::optional<UpdateQuestion> question;
  // The installer has started: destroy the main window, which ends the
  // program.
  bool close_window = false;
};

class Updater {
 public:
  // The workers post kMsgUpdateResult and kMsgUpdateInstall through
  // `poster`. Without a platform the system's is used (built-in keys).
  explicit Updater(std::shared_ptr<MessagePoster> poster,
                   std::shared_ptr<UpdatePlatform> platform = nullptr, UpdateConfig config = {});
  Updater(const Updater&) = delete;
  Updater& operator=(const Updater&) = delete;
  // Workers still running keep what they share alive and finish alone.
  ~Updater();

  // The automatic check at start-up: nothing when "AutoUpdate" is off,
  // less than a day has passed since "LastUpdateCheck" or an update is
  // under way; otherwise now is written to "LastUpdateCheck" first (so a
  // failed check also waits a day) and a quiet check starts. True when a
  // check started.
  bool maybe_start_daily_check(Settings& settings, uint64_t now_seconds);

  // Starts the check worker, unless an update is under way (then: nothing).
  // by_user: the menu item; the reaction then carries the notice "Checking
  // for updates…", and the result is shown whatever it is. Otherwise only
  // an available update is shown.
  UpdateReaction start_check(bool by_user);

  // Message kMsgUpdateResult: takes the check result. An error or "up to
  // date" gives a notice when the user asked; an available installer
  // (asked for or not) gives the question; a release on the download page
  // (Linux) gives the notice "A new version is available: {0}" with the
  // action "Open the download page".
  UpdateReaction on_check_result();

  // The answer to a question from on_check_result(). Yes: the notice
  // "Downloading update…" and the download worker starts. No (or an id
  // that isn't waiting): nothing.
  UpdateReaction answer_update_question(uint64_t question_id, bool yes);

  // Message kMsgUpdateInstall: takes the download result. An error gives
  // an error notice; an installer is started with "/SILENT"
  // "/SUPPRESSMSGBOXES" "/NORESTART" "/UPDATE=1", and the reaction asks to
  // close the window only when it did start (else a notice says why).
  UpdateReaction on_download_result();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::map<uint64_t, UpdateInfo> offers_;  // questions waiting for an answer
  uint64_t next_question_id_ = 1;
  bool busy_ = false;  // a check, question or download is under way
};

}  // namespace lw
