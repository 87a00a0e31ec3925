// What the notices say about the files the program writes on its own: the
// log around an alert saved early because its tab went away, and the end of
// a recording.
#include <gtest/gtest.h>

#include "app/notices.h"
#include "app/running_app.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

class FileNotices : public test::RunningApp {
 protected:
  // A text alert with its save fires on COM3; its "after" half is still due.
  void fire_alert() {
    start();
    app->open_tab(app->state().ports[0]);
    ASSERT_TRUE(app->state().lab->alerts().add_text_alert("ERROR"));
    device->push("Sensor ERROR 3\n");
    ASSERT_TRUE(drain_until([&] { return tab().log.line_count() == 1; }));
    ASSERT_EQ(tab().lab.alerts.pending_saves.size(), 1u);
  }
  void expect_alert_saved_notice() {
    ASSERT_TRUE(notice());
    const std::string prefix = "Saved the log around the alert: ";
    ASSERT_TRUE(notice()->text.starts_with(prefix)) << notice()->text;
    const fs::path file = docs() / notice()->text.substr(prefix.size());
    EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_FALSE(notice()->error);
    ASSERT_EQ(notice()->actions.size(), 2u);
    EXPECT_EQ(notice()->actions[0].kind, NoticeAction::Kind::OpenFile);
    EXPECT_EQ(notice()->actions[0].path, file);
    EXPECT_EQ(notice()->actions[1].kind, NoticeAction::Kind::OpenFolder);
    EXPECT_EQ(notice()->actions[1].path, file);
    EXPECT_EQ(app->state().notice->lifetime_ms, kNoticeWithActionsMs);
  }
};

TEST_F(FileNotices, AnAlertSaveForcedByADisconnectSaysWhereItWent) {
  fire_alert();
  device->unplug();
  ASSERT_TRUE(drain_until([&] { return !tab().is_open(); }));
  expect_alert_saved_notice();
}

TEST_F(FileNotices, AnAlertSaveForcedByClosingTheTabSaysWhereItWent) {
  fire_alert();
  app->close_tab(0);
  expect_alert_saved_notice();
}

TEST_F(FileNotices, RecordingStoppedIsAPlainNotice) {
  start();
  app->open_tab(app->state().ports[0]);
  app->toggle_record(tab());
  app->toggle_record(tab());
  ASSERT_TRUE(notice());
  EXPECT_EQ(notice()->text, "Recording stopped");
  EXPECT_TRUE(notice()->actions.empty());
  EXPECT_EQ(app->state().notice->lifetime_ms, kNoticeMs);
}

}  // namespace
}  // namespace lw
