#include "update/updater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "settings/values.h"
#include "support/memory_settings.h"
#include "update/fakes.h"

namespace lw {
namespace {

using test::FakePlatform;
using test::RecordingPoster;
using test::TempFolder;

constexpr const char* kBase = "https://updates.test/Linewick/update.json";
constexpr const char* kInstallerUrl = "https://updates.test/Linewick/Linewick-Setup-0.2.0.exe";
constexpr const char* kNewer =
    R"({"version":"0.2.0","url":"https://updates.test/Linewick/Linewick-Setup-0.2.0.exe",
        "sha256":"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad","size":3})";

class UpdaterTest : public ::testing::Test {
 protected:
  UpdaterTest()
      : platform_(std::make_shared<FakePlatform>()),
        poster_(std::make_shared<RecordingPoster>()),
        updater_(poster_, platform_,
                 UpdateConfig{kBase, work_.path() / "Linewick", UpdateOffer::Installer}) {}

  // Runs a check and hands its result over, as the window thread would.
  UpdateReaction check(bool by_user, size_t nth = 1) {
    (void)updater_.start_check(by_user);
    EXPECT_TRUE(poster_->wait_for(kMsgUpdateResult, nth));
    return updater_.on_check_result();
  }
  UpdateReaction download(uint64_t question_id, size_t nth = 1) {
    const UpdateReaction answered = updater_.answer_update_question(question_id, true);
    EXPECT_TRUE(answered.notice.has_value());
    EXPECT_TRUE(poster_->wait_for(kMsgUpdateInstall, nth));
    return updater_.on_download_result();
  }

  TempFolder work_;
  std::shared_ptr<FakePlatform> platform_;
  std::shared_ptr<RecordingPoster> poster_;
  Updater updater_;
};

bool empty(const UpdateReaction& r) { return !r.notice && !r.question && !r.close_window; }

TEST_F(UpdaterTest, UserCheckSaysCheckingThenUpToDate) {
  platform_->serve(kBase,
                   R"({"version":"v0.1.0","url":"https://updates.test/x.exe","sha256":"h"})");
  const UpdateReaction started = updater_.start_check(true);
  ASSERT_TRUE(started.notice.has_value());
  EXPECT_EQ(started.notice->text, "Checking for updates…");
  EXPECT_FALSE(started.notice->error);

  ASSERT_TRUE(poster_->wait_for(kMsgUpdateResult));
  const UpdateReaction done = updater_.on_check_result();
  ASSERT_TRUE(done.notice.has_value());
  EXPECT_EQ(done.notice->text, "You're up to date (0.1.0)");
  EXPECT_FALSE(done.notice->error);
  EXPECT_FALSE(done.question.has_value());
  // The slot is empty again.
  EXPECT_TRUE(empty(updater_.on_check_result()));
}

TEST_F(UpdaterTest, AutomaticCheckIsQuietUnlessThereIsAnUpdate) {
  platform_->serve(kBase, R"({"version":"0.1","url":"https://updates.test/x.exe","sha256":"h"})");
  EXPECT_TRUE(empty(updater_.start_check(false)));
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateResult));
  EXPECT_TRUE(empty(updater_.on_check_result()));

  platform_->serve(kBase, R"({"version":"0.2","url":"https://updates.test/x.exe"})");
  EXPECT_TRUE(empty(check(false, 2)));  // an error, unseen

  platform_->serve(kBase, kNewer);
  EXPECT_TRUE(check(false, 3).question.has_value());
}

TEST_F(UpdaterTest, UserSeesTheManifestError) {
  platform_->serve(kBase, R"({"version":"0.2","url":"https://updates.test/x.exe"})");
  const UpdateReaction r = check(true);
  ASSERT_TRUE(r.notice.has_value());
  EXPECT_EQ(r.notice->text, "manifest");
  EXPECT_TRUE(r.notice->error);
}

TEST_F(UpdaterTest, NewerVersionAsksAndYesInstallsAndCloses) {
  platform_->serve(kBase, kNewer);
  platform_->serve(kInstallerUrl, "abc");
  const UpdateReaction asked = check(false);
  ASSERT_TRUE(asked.question.has_value());
  EXPECT_FALSE(asked.notice.has_value());
  EXPECT_EQ(asked.question->title, "Linewick");
  EXPECT_EQ(asked.question->text,
            "A new version is available: 0.2.0\n(current 0.1.0)\n\nUpdate now?");

  const UpdateReaction yes = updater_.answer_update_question(asked.question->id, true);
  ASSERT_TRUE(yes.notice.has_value());
  EXPECT_EQ(yes.notice->text, "Downloading update…");
  EXPECT_FALSE(yes.notice->error);
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateInstall));
  const UpdateReaction done = updater_.on_download_result();
  EXPECT_TRUE(done.close_window);
  EXPECT_FALSE(done.notice.has_value());
  ASSERT_EQ(platform_->started().size(), 1u);
  EXPECT_EQ(platform_->started()[0], work_.path() / "Linewick" / "Linewick-Setup-0.2.0.exe");
  // The question was answered once; a second answer does nothing.
  EXPECT_TRUE(empty(updater_.answer_update_question(asked.question->id, true)));
}

TEST_F(UpdaterTest, NoDownloadsNothing) {
  platform_->serve(kBase, kNewer);
  const UpdateReaction asked = check(true);
  ASSERT_TRUE(asked.question.has_value());
  EXPECT_TRUE(empty(updater_.answer_update_question(asked.question->id, false)));
  EXPECT_EQ(platform_->requested().size(), 1u);  // only the document
  EXPECT_TRUE(empty(updater_.answer_update_question(12345, true)));
}

TEST_F(UpdaterTest, RejectedDownloadIsAnErrorNoticeAndNothingStarts) {
  platform_->serve(kBase, kNewer);
  platform_->serve(kInstallerUrl, "ab");  // one byte short
  const UpdateReaction asked = check(false);
  ASSERT_TRUE(asked.question.has_value());
  const UpdateReaction done = download(asked.question->id);
  ASSERT_TRUE(done.notice.has_value());
  EXPECT_EQ(done.notice->text, "Downloaded size mismatch");
  EXPECT_TRUE(done.notice->error);
  EXPECT_FALSE(done.close_window);
  EXPECT_TRUE(platform_->started().empty());
}

TEST_F(UpdaterTest, InstallerThatWontStartKeepsTheProgramRunning) {
  platform_->serve(kBase, kNewer);
  platform_->serve(kInstallerUrl, "abc");
  platform_->fail_start("The system cannot find the file specified.");
  const UpdateReaction asked = check(false);
  ASSERT_TRUE(asked.question.has_value());
  const UpdateReaction done = download(asked.question->id);
  EXPECT_FALSE(done.close_window);
  ASSERT_TRUE(done.notice.has_value());
  EXPECT_EQ(done.notice->text, "The system cannot find the file specified.");
  EXPECT_TRUE(done.notice->error);
}

// Two accepted questions once ran two downloads into the same files: from
// the check to the handled download, a further check does nothing.
TEST_F(UpdaterTest, OneUpdateAtATime) {
  platform_->serve(kBase, kNewer);
  platform_->serve(kInstallerUrl, "abc");
  std::promise<void> document_gate;
  std::promise<void> installer_gate;
  std::shared_future<void> document = document_gate.get_future().share();
  std::shared_future<void> installer = installer_gate.get_future().share();
  platform_->on_download([document, installer](const std::string& url) {
    (url.find("update.json") != std::string::npos ? document : installer).wait();
  });
  test::MemorySettings settings;

  EXPECT_TRUE(updater_.start_check(true).notice.has_value());
  EXPECT_TRUE(empty(updater_.start_check(true)));  // the check runs
  EXPECT_TRUE(empty(updater_.start_check(false)));
  EXPECT_FALSE(updater_.maybe_start_daily_check(settings, 1'000'000'000));
  EXPECT_FALSE(settings.get_text(setting::kLastUpdateCheck, {}).has_value());
  document_gate.set_value();
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateResult));
  const UpdateReaction asked = updater_.on_check_result();
  ASSERT_TRUE(asked.question.has_value());

  EXPECT_TRUE(empty(updater_.start_check(true)));  // the question waits
  EXPECT_TRUE(updater_.answer_update_question(asked.question->id, true).notice.has_value());
  EXPECT_TRUE(empty(updater_.start_check(true)));  // the download runs
  installer_gate.set_value();
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateInstall));
  EXPECT_TRUE(updater_.on_download_result().close_window);
  EXPECT_EQ(platform_->requested().size(), 2u);  // one document, one installer
  EXPECT_EQ(platform_->started().size(), 1u);

  // Over: the next check starts, and so does one after a No.
  const UpdateReaction again = check(true, 2);
  ASSERT_TRUE(again.question.has_value());
  EXPECT_TRUE(empty(updater_.answer_update_question(again.question->id, false)));
  EXPECT_TRUE(check(true, 3).question.has_value());
  const std::vector<int> numbers = poster_->numbers();
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), int{kMsgUpdateResult}), 3);
}

// Linux: a newer release in the document's "linux" entry is a notice with
// the download page; nothing is downloaded, nothing is asked.
TEST(UpdaterPage, ANewerLinuxReleaseOffersItsDownloadPage) {
  TempFolder work;
  auto platform = std::make_shared<FakePlatform>();
  auto poster = std::make_shared<RecordingPoster>();
  Updater updater(poster, platform,
                  UpdateConfig{kBase, work.path() / "Linewick", UpdateOffer::DownloadPage});
  platform->serve(kInstallerUrl, "abc");

  struct Case {
    const char* document;
    bool by_user;
    const char* notice;  // nullptr: none
  };
  const Case cases[] = {
      {R"({"version":"0.2.0","url":"https://updates.test/x.exe","sha256":"h",
           "linux":{"version":"0.2.0","page":"https://hollent.com/Linewick/"}})",
       false, "A new version is available: 0.2.0"},
      {kNewer, false, nullptr},  // a Windows installer only: quiet
      {kNewer, true, "You're up to date (0.1.0)"},
  };
  size_t round = 0;
  for (const Case& c : cases) {
    platform->serve(kBase, c.document);
    (void)updater.start_check(c.by_user);
    ASSERT_TRUE(poster->wait_for(kMsgUpdateResult, ++round));
    const UpdateReaction r = updater.on_check_result();
    EXPECT_FALSE(r.question.has_value()) << c.document;
    ASSERT_EQ(r.notice.has_value(), c.notice != nullptr) << c.document;
    if (c.notice == nullptr) continue;
    EXPECT_EQ(r.notice->text, c.notice);
    EXPECT_FALSE(r.notice->error);
    if (round == 1) {
      ASSERT_EQ(r.notice->actions.size(), 1u);
      EXPECT_EQ(r.notice->actions[0].kind, NoticeAction::Kind::OpenPage);
      EXPECT_EQ(r.notice->actions[0].url, "https://hollent.com/Linewick/");
    }
  }
  // Only documents were fetched.
  for (const std::string& url : platform->requested()) {
    EXPECT_NE(url.find("update.json"), std::string::npos) << url;
  }
}

TEST(UpdaterLifetime, AWorkerOutlivesItsUpdater) {
  TempFolder work;
  auto platform = std::make_shared<FakePlatform>();
  auto poster = std::make_shared<RecordingPoster>();
  platform->serve(kBase, kNewer);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  platform->on_download([released](const std::string&) { released.wait(); });
  {
    Updater updater(poster, platform,
                    UpdateConfig{kBase, work.path() / "Linewick", UpdateOffer::Installer});
    (void)updater.start_check(true);
  }
  release.set_value();
  EXPECT_TRUE(poster->wait_for(kMsgUpdateResult));
}

}  // namespace
}  // namespace lw
