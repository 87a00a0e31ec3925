#include "lab/alert_saves.h"

#include <gtest/gtest.h>

#include "support/memory_settings.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

Millis at(int h, int m, int s, int ms) {
  return millis_from_civil(CivilTime{2026, 12, 6, h, m, s, ms});
}

LineRecord record(Millis t, std::string_view text, Direction d = Direction::Received) {
  return LineRecord{Bytes(text), t, d == Direction::Mark ? LineEnding::None : LineEnding::CrLf, d};
}

class AlertSavesTest : public test::TempFolderTest {
 protected:
  AlertSaveSource source() { return AlertSaveSource{log, "COM3", "Arduino Uno", settings, dir_}; }
  void add(Millis t, std::string_view text, Direction d = Direction::Received) {
    log.append(record(t, text, d), {});
  }

  Log log;
  PortSettings settings;  // 9600 8N1
};

TEST_F(AlertSavesTest, FileHoldsTheHeaderLinesAndTheLinesWithin30Seconds) {
  const Millis alert = at(14, 3, 22, 517);
  add(alert - 30'001, "too early");
  add(alert - 30'000, "first in");
  add(alert - 5, "*IDN?", Direction::Sent);
  add(alert, "T=40 ERROR");
  add(alert + 1, "\xE2\x94\x80\xE2\x94\x80 Note: x \xE2\x94\x80\xE2\x94\x80", Direction::Mark);
  add(alert + 30'000, "last in");
  add(alert + 30'001, "too late");

  TabAlerts tab;
  tab.pending_saves.push_back({alert + 30'000, alert});
  const std::optional<std::filesystem::path> written =
      flush_alert_saves(tab, source(), false, alert + 30'000);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->filename(),
            std::filesystem::path("COM3-Arduino Uno-2026-12-06 140322-alert.txt"));
  EXPECT_TRUE(tab.pending_saves.empty());
  EXPECT_EQ(read(*written),
            std::string(kBom) +
                "# Linewick \xC2\xB7 COM3 \xC2\xB7 Arduino Uno \xC2\xB7 9600 8N1\r\n"
                "# Alert at 2026-12-06 14:03:22.517, 30 s before and after\r\n"
                "2026-12-06 14:02:52.517  first in\r\n"
                "2026-12-06 14:03:22.512  \xE2\x86\x92 *IDN?\r\n"
                "2026-12-06 14:03:22.517  T=40 ERROR\r\n"
                "\xE2\x94\x80\xE2\x94\x80 Note: x \xE2\x94\x80\xE2\x94\x80\r\n"
                "2026-12-06 14:03:52.517  last in\r\n");

  const LabNotice n = alert_saved_notice(*written);
  EXPECT_EQ(n.text, "Saved the log around the alert: COM3-Arduino Uno-2026-12-06 140322-alert.txt");
  EXPECT_FALSE(n.error);
  ASSERT_EQ(n.actions.size(), 2u);
  EXPECT_EQ(n.actions[0].kind, NoticeAction::Kind::OpenFile);
  EXPECT_EQ(n.actions[1].kind, NoticeAction::Kind::OpenFolder);
  EXPECT_EQ(n.actions[0].path, *written);
}

TEST_F(AlertSavesTest, HexViewWritesTheLinesInHex) {
  const Millis alert = at(9, 0, 0, 0);
  add(alert, "Hi");
  log.set_hex_view(true, {}, 10);
  EXPECT_EQ(around_alert_text(source(), alert),
            "# Linewick \xC2\xB7 COM3 \xC2\xB7 Arduino Uno \xC2\xB7 9600 8N1\r\n"
            "# Alert at 2026-12-06 09:00:00.000, 30 s before and after\r\n"
            "2026-12-06 09:00:00.000  48 69 0D 0A\r\n");
}

TEST_F(AlertSavesTest, OnlyDueSavesAreWrittenUnlessForced) {
  const Millis first = at(10, 0, 0, 0);
  const Millis second = first + 45'000;
  add(first, "ERROR one");
  add(second, "ERROR two");
  TabAlerts tab;
  tab.pending_saves = {{first + 30'000, first}, {second + 30'000, second}};

  EXPECT_FALSE(flush_alert_saves(tab, source(), false, first + 29'999));
  EXPECT_EQ(tab.pending_saves.size(), 2u);
  EXPECT_TRUE(flush_alert_saves(tab, source(), false, first + 30'000));
  ASSERT_EQ(tab.pending_saves.size(), 1u);
  EXPECT_EQ(tab.pending_saves[0].alert_at, second);
  const std::optional<std::filesystem::path> last = flush_alert_saves(tab, source(), true, first);
  ASSERT_TRUE(last);
  EXPECT_TRUE(tab.pending_saves.empty());
  EXPECT_EQ(names(), (std::vector<std::string>{"COM3-Arduino Uno-2026-12-06 100000-alert.txt",
                                               "COM3-Arduino Uno-2026-12-06 100045-alert.txt"}));
  // The first file covers 30 s either side of the first alert only.
  EXPECT_EQ(read(dir_ / "COM3-Arduino Uno-2026-12-06 100000-alert.txt").find("ERROR two"),
            std::string::npos);
}

TEST_F(AlertSavesTest, AlertsTenSecondsApartMakeOneFileAndFortyFiveMakeTwo) {
  test::MemorySettings store;
  test::ManualClock clock;
  AlertBook book(store, clock);
  book.add_text_alert("ERROR");
  TabAlerts tab;
  const Millis t0 = at(11, 0, 0, 0);
  uint64_t n = 0;
  for (Millis t : {t0, t0 + 10'000, t0 + 45'000}) {
    add(t, "ERROR");
    clock.mono += 5'000;
    (void)book.check_line(tab, n++, 0, t, "ERROR", {}, "COM3");
  }
  (void)flush_alert_saves(tab, source(), true, t0);
  EXPECT_EQ(names(), (std::vector<std::string>{"COM3-Arduino Uno-2026-12-06 110000-alert.txt",
                                               "COM3-Arduino Uno-2026-12-06 110045-alert.txt"}));
  const std::string first = read(dir_ / "COM3-Arduino Uno-2026-12-06 110000-alert.txt");
  EXPECT_NE(first.find("11:00:10.000  ERROR"), std::string::npos);
  EXPECT_EQ(first.find("11:00:45.000"), std::string::npos);
}

TEST_F(AlertSavesTest, FailedWriteDropsTheSave) {
  const Millis alert = at(12, 0, 0, 0);
  add(alert, "x");
  // The folder is a file, so nothing can be created inside it.
  const std::filesystem::path blocked = dir_ / "blocked";
  { std::ofstream(blocked) << "x"; }
  TabAlerts tab;
  tab.pending_saves = {{alert + 30'000, alert}};
  AlertSaveSource s = source();
  s.folder = blocked;
  EXPECT_FALSE(flush_alert_saves(tab, s, true, alert));
  EXPECT_TRUE(tab.pending_saves.empty());
}

}  // namespace
}  // namespace lw
