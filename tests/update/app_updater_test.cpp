// The updater inside the application: messages 2 and 3 reach it through the
// host's loop, the question is asked with the host's Yes/No box, and a
// started installer closes the window.
#include "update/app_updater.h"

#include <gtest/gtest.h>

#include "app/fake_ports.h"
#include "host/host_headless.h"
#include "support/memory_settings.h"
#include "update/fakes.h"

namespace lw {
namespace {

constexpr const char* kBase = "https://updates.test/Linewick/update.json";
constexpr const char* kNewer =
    R"({"version":"0.2.0","url":"https://updates.test/Linewick/Linewick-Setup-0.2.0.exe",
        "sha256":"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad","size":3})";

class AppUpdaterTest : public ::testing::Test {
 protected:
  AppUpdaterTest() {
    auto a = std::make_unique<App>(host, settings, ports, AppOptions{}, nullptr);
    app = a.get();
    app->start();
    app->set_update_service(std::make_unique<AppUpdater>(
        *app, platform, UpdateConfig{kBase, work.path() / "Linewick", UpdateOffer::Installer}));
    host.slot().install(std::move(a));
  }
  std::string notice() const {
    return app->state().notice ? app->state().notice->notice.text : std::string{};
  }

  test::TempFolder work;
  std::shared_ptr<test::FakePlatform> platform = std::make_shared<test::FakePlatform>();
  HeadlessHost host;
  test::MemorySettings settings;
  test::FakePortSystem ports;
  App* app = nullptr;
};

TEST_F(AppUpdaterTest, CheckByUserEndsWithUpToDate) {
  platform->serve(kBase, R"({"version":"0.1.0","url":"https://updates.test/x.exe","sha256":"h"})");
  app->check_for_updates();
  EXPECT_EQ(notice(), "Checking for updates…");
  ASSERT_TRUE(host.run_until([&] { return notice() != "Checking for updates…"; }, 60'000));
  EXPECT_EQ(notice(), "You're up to date (0.1.0)");
  EXPECT_TRUE(host.message_boxes.empty());
}

TEST_F(AppUpdaterTest, YesDownloadsChecksStartsTheInstallerAndCloses) {
  platform->serve(kBase, kNewer);
  platform->serve("https://updates.test/Linewick/Linewick-Setup-0.2.0.exe", "abc");
  host.yes_no_answers.push_back(true);
  app->check_for_updates();
  ASSERT_TRUE(host.run_until([&] { return host.quit_requested; }, 60'000));
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0].first, "Linewick");
  EXPECT_NE(host.message_boxes[0].second.find("0.2.0"), std::string::npos);
  ASSERT_EQ(platform->started().size(), 1u);
  EXPECT_EQ(platform->started()[0].filename(), "Linewick-Setup-0.2.0.exe");
}

TEST_F(AppUpdaterTest, NoLeavesEverythingAsItWas) {
  platform->serve(kBase, kNewer);
  host.yes_no_answers.push_back(false);
  app->check_for_updates();
  ASSERT_TRUE(host.run_until([&] { return !host.message_boxes.empty(); }, 60'000));
  host.run_for(50);
  EXPECT_TRUE(platform->started().empty());
  EXPECT_FALSE(host.quit_requested);
  EXPECT_EQ(platform->requested().size(), 1u);  // only the document
}

TEST_F(AppUpdaterTest, DailyCheckRunsOnceADayAndQuietly) {
  platform->serve(kBase, R"({"version":"0.1.0","url":"https://updates.test/x.exe","sha256":"h"})");
  app->start_daily_update_check();
  ASSERT_TRUE(host.run_until([&] { return platform->requested().size() == 1; }, 60'000));
  app->start_daily_update_check();  // "LastUpdateCheck" is now
  host.run_for(50);
  EXPECT_EQ(platform->requested().size(), 1u);
  EXPECT_EQ(notice(), "");
}

// Linux: the notice's action opens the download page in the browser.
TEST(AppUpdaterPage, TheActionOpensTheDownloadPage) {
  test::TempFolder work;
  auto platform = std::make_shared<test::FakePlatform>();
  HeadlessHost host;
  test::MemorySettings settings;
  test::FakePortSystem ports;
  auto a = std::make_unique<App>(host, settings, ports, AppOptions{}, nullptr);
  App* app = a.get();
  app->start();
  app->set_update_service(std::make_unique<AppUpdater>(
      *app, platform, UpdateConfig{kBase, work.path() / "Linewick", UpdateOffer::DownloadPage}));
  host.slot().install(std::move(a));
  platform->serve(kBase, R"({"linux":{"version":"0.2.0","page":"https://hollent.com/Linewick/"}})");

  app->start_daily_update_check();
  ASSERT_TRUE(host.run_until([&] { return app->state().notice.has_value(); }, 60'000));
  const Notice& shown = app->state().notice->notice;
  EXPECT_EQ(shown.text, "A new version is available: 0.2.0");
  ASSERT_EQ(shown.actions.size(), 1u);
  app->run_notice_action(0);
  EXPECT_EQ(host.opened_urls, std::vector<std::string>{"https://hollent.com/Linewick/"});
  EXPECT_TRUE(host.message_boxes.empty());
  EXPECT_EQ(platform->requested().size(), 1u);  // the document only
}

}  // namespace
}  // namespace lw
