// Replaying a log file in a tab: its received lines run through the whole
// pipeline like a live device's, commands to it are logged and go nowhere,
// the end of the file and an unreadable line are announced, and the main
// menu's command asks for the file with the system's open dialog.
#include <gtest/gtest.h>

#include <fstream>

#include "app/app.h"
#include "app/fake_ports.h"
#include "base/utf8_path.h"
#include "gfx/gfx_recording.h"
#include "host/host_headless.h"
#include "lang/tr.h"
#include "log/display.h"
#include "support/memory_settings.h"
#include "support/temp_folder.h"
#include "ui/frame.h"
#include "ui/menus.h"
#include "ui/widgets.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

class Replaying : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    switch_language("en");
    AppOptions options;
    options.docs = dir_ / "docs";
    auto a = std::make_unique<App>(host, settings, ports, options, nullptr);
    app = a.get();
    app->start();
    host.slot().install(std::move(a));
  }
  fs::path file(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / path_from_utf8(name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  Session& tab(size_t i = 0) { return *app->state().sessions.at(i); }
  std::vector<std::string> lines(Direction d) {
    std::vector<std::string> out;
    tab().log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
      if (r.direction == d) out.push_back(line_text(r, false));
    });
    return out;
  }
  std::string notice() const {
    return app->state().notice ? app->state().notice->notice.text : std::string{};
  }
  bool notice_is_error() const { return app->state().notice && app->state().notice->notice.error; }
  // Runs the loop (drains, timers) until done() holds.
  bool run_until(const std::function<bool()>& done) { return host.run_until(done, 10'000); }

  HeadlessHost host;
  test::MemorySettings settings;
  test::FakePortSystem ports;
  App* app = nullptr;
};

const std::string kRecording =
    "\xEF\xBB\xBF"
    "2026-12-06 14:03:22.517  T=21.5 H=40\r\n"
    "2026-12-06 14:03:22.537  \xE2\x86\x92 *IDN?\r\n"
    "2026-12-06 14:03:22.557  T=21.6 H=41\r\n"
    "\xE2\x94\x80\xE2\x94\x80 Note: 14:03:22.600 warm \xE2\x94\x80\xE2\x94\x80\r\n"
    "2026-12-06 14:03:22.577  T=21.8 H=41\r\n";

TEST_F(Replaying, ARecordingComesBackThroughTheWholePipeline) {
  Session* s = app->open_replay_tab(file("bench.txt", kRecording));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->port_name, "bench.txt");
  EXPECT_EQ(s->description, "Replay");
  EXPECT_TRUE(s->is_open());
  ASSERT_TRUE(run_until([&] { return notice().starts_with("Replay of"); })) << notice();
  EXPECT_EQ(notice(), "Replay of bench.txt finished: 3 lines");
  EXPECT_FALSE(notice_is_error());
  // Only what the device sent, in order, as received lines; the sent line
  // and the note of the file are not replayed.
  EXPECT_EQ(lines(Direction::Received),
            (std::vector<std::string>{"T=21.5 H=40", "T=21.6 H=41", "T=21.8 H=41"}));
  EXPECT_TRUE(lines(Direction::Sent).empty());
  EXPECT_TRUE(lines(Direction::Mark).empty());
  // The numbers in them made series, as a device's would.
  const std::vector<Series>& series = tab().lab.series.series();
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series[0].name, "T");
  EXPECT_EQ(series[0].points.newest().value, 21.8);
  // The replay stays open, silent, like a device that has finished talking.
  EXPECT_TRUE(tab().is_open());
}

TEST_F(Replaying, CommandsToAReplayAreLoggedAndGoNowhere) {
  ASSERT_NE(app->open_replay_tab(file("bench.txt", kRecording)), nullptr);
  ASSERT_TRUE(run_until([&] { return lines(Direction::Received).size() == 3; }));
  EXPECT_TRUE(app->send_line(tab(), "*IDN?"));
  host.run_for(300);
  EXPECT_EQ(lines(Direction::Sent), std::vector<std::string>{"*IDN?"});
  EXPECT_EQ(lines(Direction::Received).size(), 3u);
  EXPECT_TRUE(tab().is_open());
}

TEST_F(Replaying, AFileThatStopsBeingReadableSaysWhere) {
  ASSERT_NE(app->open_replay_tab(file("dump.bin", std::string("one\ntwo\n\x89PNG\0\x1A\n", 15))),
            nullptr);
  ASSERT_TRUE(run_until([&] { return notice().starts_with("Replay of"); })) << notice();
  EXPECT_EQ(notice(), "Replay of dump.bin stopped at line 3, which couldn't be read");
  EXPECT_TRUE(notice_is_error());
  EXPECT_EQ(lines(Direction::Received), (std::vector<std::string>{"one", "two"}));
}

TEST_F(Replaying, TheSameFileSelectsItsTabAndStartsOverOnceClosed) {
  const fs::path p = file("bench.txt", kRecording);
  ASSERT_NE(app->open_replay_tab(p), nullptr);
  ASSERT_TRUE(run_until([&] { return lines(Direction::Received).size() == 3; }));
  ASSERT_EQ(app->open_replay_tab(p), &tab());
  EXPECT_EQ(app->state().sessions.size(), 1u);

  app->close_port(tab());
  EXPECT_FALSE(tab().is_open());
  ASSERT_EQ(app->open_replay_tab(p), &tab());
  EXPECT_TRUE(tab().is_open());
  ASSERT_TRUE(run_until([&] { return lines(Direction::Received).size() == 6; }));

  // Another file of the same name gets a tab of its own.
  fs::create_directories(dir_ / "other");
  const fs::path twin = dir_ / "other" / "bench.txt";
  std::ofstream(twin, std::ios::binary) << "x\n";
  Session* second = app->open_replay_tab(twin);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->port_name, "bench.txt (2)");
  EXPECT_EQ(app->state().sessions.size(), 2u);
}

TEST_F(Replaying, AFileThatCantBeReadOpensNoTab) {
  EXPECT_EQ(app->open_replay_tab(dir_ / "missing.txt"), nullptr);
  EXPECT_EQ(notice(), "Couldn't open missing.txt");
  EXPECT_TRUE(notice_is_error());
  EXPECT_EQ(app->open_replay_tab(dir_), nullptr);
  EXPECT_TRUE(app->state().sessions.empty());
}

TEST_F(Replaying, TheMainMenuAsksForTheFileAndTheSpeedMenuSetsTheReplaysPace) {
  const fs::path p = file("bench.txt", kRecording);
  host.open_answers.push_back(std::nullopt);  // cancelled
  run_main_menu_choice(*app, main_menu::replay);
  EXPECT_TRUE(app->state().sessions.empty());
  host.open_answers.push_back(p);
  run_main_menu_choice(*app, main_menu::replay);
  ASSERT_EQ(host.open_dialogs.size(), 2u);
  const OpenDialogSetup& shown = host.open_dialogs.back();
  EXPECT_EQ(shown.title, "Replay a log file");
  ASSERT_EQ(shown.types.size(), 2u);
  EXPECT_EQ(shown.types[0].pattern, "*.txt;*.csv;*.log");
  EXPECT_EQ(shown.folder, dir_ / "docs");
  ASSERT_EQ(app->state().sessions.size(), 1u);
  ASSERT_TRUE(tab().replay);

  std::vector<MenuItem> speeds = widget_menu_items(*app, cmd::replay_speed);
  ASSERT_EQ(speeds.size(), 3u);
  EXPECT_EQ(speeds[0].label, "1×");
  EXPECT_TRUE(speeds[0].checked);
  EXPECT_EQ(speeds[2].label, "As fast as possible");
  run_widget_menu_choice(*app, cmd::replay_speed, 2);
  EXPECT_EQ(tab().replay->speed, ReplaySpeed::Ten);
  EXPECT_EQ(tab().replay->control->speed.load(), ReplaySpeed::Ten);
  speeds = widget_menu_items(*app, cmd::replay_speed);
  EXPECT_TRUE(speeds[1].checked);

  // The speed stands where a port has its baud rate; a replay has no lines
  // to switch.
  RecordingGfx gfx;
  const UiFrame f = build_frame(*app, gfx, 1180, 760);
  const Widget* speed = f.find(cmd::replay_speed);
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed->label, "10×");
  for (const int absent : {cmd::baud_field, cmd::baud_presets, cmd::dtr, cmd::rts}) {
    EXPECT_EQ(f.find(absent), nullptr) << absent;
  }
  EXPECT_NE(f.find(cmd::frame_setting), nullptr);
}

}  // namespace
}  // namespace lw
