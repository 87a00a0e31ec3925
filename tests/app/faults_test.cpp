// Faults a long run meets: a device pulled out mid-line, a log folder that
// can't be written for a while, a settings file that can't be read. The
// program keeps going and nothing that was received is lost.
#include <gtest/gtest.h>

#include "app/running_app.h"
#include "app/tab_commands.h"
#include "base/text_file.h"
#include "settings/settings_file.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

using Faults = test::RunningApp;

TEST_F(Faults, AnUnplugMidLineKeepsThePartialLineBeforeTheMarkInLogAndRecording) {
  start(settings);
  app->open_tab(app->state().ports[0]);
  app->toggle_record(tab());
  device->push("T=21.5\r\nT=21");
  device->unplug();
  ASSERT_TRUE(drain_until([&] { return !tab().is_open(); }));
  const std::vector<std::string> log = log_texts();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 3], "T=21.5");
  EXPECT_EQ(log[log.size() - 2], "T=21");
  EXPECT_TRUE(log.back().starts_with("── Disconnected ")) << log.back();

  // The mark was flushed with the lines before it.
  const std::string file = read(recording_file());
  const size_t whole = file.find("  T=21.5\r\n");
  const size_t partial = file.find("  T=21\r\n");
  const size_t mark = file.find("── Disconnected ");
  ASSERT_NE(whole, std::string::npos) << file;
  ASSERT_NE(partial, std::string::npos) << file;
  ASSERT_NE(mark, std::string::npos) << file;
  EXPECT_LT(whole, partial);
  EXPECT_LT(partial, mark);
  EXPECT_TRUE(file.ends_with("──\r\n"));
}

TEST_F(Faults, AnUnwritableLogFolderIsQuietAndTheLinesArriveWhenItCanBeMade) {
  start(settings);
  write(docs(), "a file where the folder should be");
  app->open_tab(app->state().ports[0]);
  app->toggle_record(tab());
  std::string sent;
  for (int i = 1; i <= 200; ++i) sent += "n=" + std::to_string(i) + "\r\n";
  device->push(sent);
  ASSERT_TRUE(drain_until([&] { return tab().log.lines_received() >= 200; }));
  tick();
  tick();
  EXPECT_TRUE(tab().is_open());
  EXPECT_FALSE(notice_is_error());

  fs::remove(docs());
  tick();
  const std::string file = read(recording_file());
  ASSERT_TRUE(file.starts_with(kUtf8Bom)) << file;
  size_t at = 0;
  for (int i = 1; i <= 200; ++i) {
    at = file.find("  n=" + std::to_string(i) + "\r\n", at);
    ASSERT_NE(at, std::string::npos) << "n=" << i << " is missing";
  }
}

TEST_F(Faults, AnUnreadableSettingsFileStartsOnDefaultsAndIsKept) {
  static constexpr char kJunk[] = "\xFF\xFE\x00[Linewick\nAutoReconnect=dword:zz\n\x01";
  const std::string junk(kJunk, sizeof kJunk - 1);
  const fs::path store_dir = dir_ / "config";
  fs::create_directories(store_dir);
  write(store_dir / "settings.conf", junk);
  FileSettings store(store_dir);
  start(store);
  EXPECT_EQ(app->state().sessions.size(), 0u);
  app->open_tab(app->state().ports[0]);
  EXPECT_TRUE(tab().is_open());
  EXPECT_EQ(tab().settings.baud, PortSettings{}.baud);
  // A new baud rate is stored: the damaged file is set aside first, never
  // overwritten.
  set_baud(*app, tab(), 57600);
  bool kept = false;
  for (const auto& e : fs::directory_iterator(store_dir)) {
    if (e.path().filename() != "settings.conf" && read(e.path()) == junk) kept = true;
  }
  EXPECT_TRUE(kept);
}

}  // namespace
}  // namespace lw
