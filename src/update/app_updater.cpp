#include "update/app_updater.h"

#include <utility>

#include "update/daily_check.h"

namespace lw {

AppUpdater::AppUpdater(App& app, std::shared_ptr<UpdatePlatform> platform, UpdateConfig config)
    : app_(app), updater_(app.host().poster(), std::move(platform), std::move(config)) {}

void AppUpdater::start_daily_check() {
  updater_.maybe_start_daily_check(app_.settings(), unix_seconds_now());
}

void AppUpdater::check_by_user() { apply(updater_.start_check(true)); }

void AppUpdater::on_message(int number) {
  if (number == kMsgUpdateResult) apply(updater_.on_check_result());
  if (number == kMsgUpdateInstall) apply(updater_.on_download_result());
}

void AppUpdater::apply(UpdateReaction reaction) {
  // A question's answer is itself a reaction (the download's notice).
  while (true) {
    if (reaction.notice) app_.show_notice(std::move(*reaction.notice));
    if (reaction.close_window) app_.host().quit();
    if (!reaction.question) return;
    const UpdateQuestion q = std::move(*reaction.question);
    const bool yes = app_.host().ask_yes_no(q.title, q.text);
    reaction = updater_.answer_update_question(q.id, yes);
  }
}

}  // namespace lw
