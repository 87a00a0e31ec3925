#include "update/daily_check.h"

#include <gtest/gtest.h>

#include "settings/values.h"
#include "support/memory_settings.h"
#include "update/fakes.h"
#include "update/updater.h"

namespace lw {
namespace {

using test::FakePlatform;
using test::MemorySettings;
using test::RecordingPoster;
using test::TempFolder;

constexpr const char* kBase = "https://updates.test/Linewick/update.json";
constexpr uint64_t kNow = 1'800'000'000;

TEST(DailyCheck, DueAfterAFullDayAndNeverBeforeAFutureTimePlusADay) {
  EXPECT_FALSE(daily_check_due(kNow - 86399, kNow));
  EXPECT_TRUE(daily_check_due(kNow - 86400, kNow));
  EXPECT_TRUE(daily_check_due(0, kNow));
  EXPECT_FALSE(daily_check_due(kNow + 1, kNow));
  EXPECT_FALSE(daily_check_due(kNow + 5'000'000, kNow));
  EXPECT_FALSE(daily_check_due(kNow, kNow + 86399));
  EXPECT_TRUE(daily_check_due(kNow, kNow + 86400));
}

TEST(DailyCheck, StartUpWritesTheTimeBeforeTheCheckRuns) {
  struct Case {
    const char* name;
    std::optional<uint32_t> auto_update;
    std::optional<std::string> last;
    bool starts;
  };
  const Case cases[] = {
      {"never checked", std::nullopt, std::nullopt, true},
      {"86399 s ago", std::nullopt, std::to_string(kNow - 86399), false},
      {"86400 s ago", 1, std::to_string(kNow - 86400), true},
      {"in the future", std::nullopt, std::to_string(kNow + 60), false},
      {"unreadable", std::nullopt, std::string("yesterday"), true},
      {"automatic updates off", 0, std::nullopt, false},
  };
  for (const Case& c : cases) {
    MemorySettings settings;
    if (c.auto_update) settings.set_dword(setting::kAutoUpdate, *c.auto_update, {});
    if (c.last) settings.set_text(setting::kLastUpdateCheck, *c.last, {});
    TempFolder work;
    auto platform = std::make_shared<FakePlatform>();
    auto poster = std::make_shared<RecordingPoster>();
    // What the store holds when the document is fetched (on the worker;
    // the test thread only waits meanwhile).
    std::optional<std::string> stored_at_fetch;
    platform->on_download([&](const std::string&) {
      stored_at_fetch = settings.get_text(setting::kLastUpdateCheck, {});
    });
    Updater updater(poster, platform, UpdateConfig{kBase, work.path()});

    EXPECT_EQ(updater.maybe_start_daily_check(settings, kNow), c.starts) << c.name;
    if (c.starts) {
      ASSERT_TRUE(poster->wait_for(kMsgUpdateResult)) << c.name;
      EXPECT_EQ(stored_at_fetch, std::to_string(kNow)) << c.name;
      // A failed check (nothing served) is quiet, and the time stays.
      EXPECT_FALSE(updater.on_check_result().notice.has_value()) << c.name;
      EXPECT_EQ(last_update_check(settings), kNow) << c.name;
    } else {
      EXPECT_TRUE(platform->requested().empty()) << c.name;
      EXPECT_EQ(settings.get_text(setting::kLastUpdateCheck, {}), c.last) << c.name;
    }
  }
}

}  // namespace
}  // namespace lw
