#include "update/updater.h"

#include <functional>
#include <system_error>
#include <utility>

#include "base/detached_thread.h"
#include "lang/tr.h"
#include "settings/values.h"
#include "update/daily_check.h"
#include "update/result_slot.h"
#include "update/update_texts.h"
#include "update/version.h"

namespace lw {

// What the workers share with the window thread. Each worker holds a
// reference, so an Updater destroyed early leaves them a valid place to
// put their result.
struct Updater::Shared {
  std::shared_ptr<MessagePoster> poster;
  std::shared_ptr<UpdatePlatform> platform;
  UpdateConfig config;
  ResultSlot<CheckResult> check_slot;
  ResultSlot<DownloadResult> download_slot;
};

namespace {

Notice info_notice(std::string text) { return Notice{std::move(text), false, {}}; }
Notice error_notice(std::string text) { return Notice{std::move(text), true, {}}; }

// Thread creation reports failure by throwing; here it becomes a text.
std::optional<std::string> start_worker(std::function<void()> work) {
  try {
    start_detached(std::move(work));
  } catch (const std::system_error& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

}  // namespace

Updater::Updater(std::shared_ptr<MessagePoster> poster, std::shared_ptr<UpdatePlatform> platform,
                 UpdateConfig config)
    : shared_(std::make_shared<Shared>()) {
  shared_->poster = std::move(poster);
  shared_->platform = platform ? std::move(platform) : make_update_platform();
  shared_->config = std::move(config);
}

Updater::~Updater() = default;

bool Updater::maybe_start_daily_check(Settings& settings, uint64_t now_seconds) {
  if (busy_ || !auto_update(settings)) return false;
  if (!daily_check_due(last_update_check(settings), now_seconds)) return false;
  set_last_update_check(settings, now_seconds);
  (void)start_check(false);
  return true;
}

UpdateReaction Updater::start_check(bool by_user) {
  UpdateReaction reaction;
  if (busy_) return reaction;
  if (by_user) reaction.notice = info_notice(checking_for_updates_text());

  // The worker gets its own copies; only the slot and the poster are shared.
  std::string language(current_language());
  std::shared_ptr<Shared> shared = shared_;
  std::optional<std::string> failed =
      start_worker([shared, language = std::move(language), by_user] {
        shared->check_slot.put(run_check(*shared->platform, shared->config, language, by_user));
        (void)shared->poster->post(AppMessage{kMsgUpdateResult, 0, 0});
      });
  if (failed) {
    if (by_user) reaction.notice = error_notice(std::move(*failed));
    return reaction;
  }
  busy_ = true;
  return reaction;
}

UpdateReaction Updater::on_check_result() {
  UpdateReaction reaction;
  std::optional<CheckResult> result = shared_->check_slot.take();
  if (!result) return reaction;
  // Only an installer's question keeps the update going.
  busy_ = result->kind == CheckResult::Kind::Available;
  switch (result->kind) {
    case CheckResult::Kind::Error:
      if (result->by_user) reaction.notice = error_notice(std::move(result->error));
      break;
    case CheckResult::Kind::UpToDate:
      if (result->by_user) reaction.notice = info_notice(up_to_date_text(kProgramVersion));
      break;
    case CheckResult::Kind::Available: {
      const uint64_t id = next_question_id_++;
      reaction.question =
          UpdateQuestion{id, std::string(kUpdateQuestionTitle),
                         update_question_text(result->info.version, kProgramVersion)};
      offers_.emplace(id, std::move(result->info));
      break;
    }
    case CheckResult::Kind::PageAvailable: {
      NoticeAction open_page{NoticeAction::Kind::OpenPage, {}, 0, std::move(result->page.page)};
      reaction.notice =
          Notice{new_version_on_page_text(result->page.version), false, {std::move(open_page)}};
      break;
    }
  }
  return reaction;
}

UpdateReaction Updater::answer_update_question(uint64_t question_id, bool yes) {
  UpdateReaction reaction;
  const auto it = offers_.find(question_id);
  if (it == offers_.end()) return reaction;
  UpdateInfo info = std::move(it->second);
  offers_.erase(it);
  if (!yes) {
    busy_ = false;
    return reaction;
  }

  reaction.notice = info_notice(downloading_update_text());
  std::shared_ptr<Shared> shared = shared_;
  std::optional<std::string> failed = start_worker([shared, info = std::move(info)] {
    shared->download_slot.put(run_download(*shared->platform, shared->config, info));
    (void)shared->poster->post(AppMessage{kMsgUpdateInstall, 0, 0});
  });
  if (failed) {
    busy_ = false;
    reaction.notice = error_notice(std::move(*failed));
  }
  return reaction;
}

UpdateReaction Updater::on_download_result() {
  UpdateReaction reaction;
  std::optional<DownloadResult> result = shared_->download_slot.take();
  if (!result) return reaction;
  busy_ = false;
  if (!*result) {
    reaction.notice = error_notice(result->error());
    return reaction;
  }
  if (Status started = shared_->platform->start_installer(result->value()); !started) {
    // The program keeps running; the installer stays for a later try.
    reaction.notice = error_notice(started.error().text);
    return reaction;
  }
  reaction.close_window = true;
  return reaction;
}

}  // namespace lw
