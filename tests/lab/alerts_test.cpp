#include "lab/alerts.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/memory_settings.h"

namespace lw {
namespace {

class AlertsTest : public ::testing::Test {
 protected:
  AlertsTest() : book(settings, clock) {}

  // One received line "name=value"; the monotonic clock moves 2 s per line
  // unless told otherwise, so notices are not held back.
  AlertOutcome line(std::string_view text, int64_t advance_ms = 2'000) {
    clock.mono += advance_ms;
    stamp += advance_ms;
    const ValueList values = extract_values(text);
    return book.check_line(tab, next_line++, 0, stamp, text, values, "COM3");
  }

  std::vector<bool> fired(std::initializer_list<const char*> lines) {
    std::vector<bool> out;
    for (const char* l : lines) out.push_back(line(l).fired);
    return out;
  }

  test::MemorySettings settings;
  test::ManualClock clock;
  AlertBook book;
  TabAlerts tab;
  uint64_t next_line = 0;
  Millis stamp = 1'800'000'000'000;
};

TEST_F(AlertsTest, ValueRuleFiresAtTheCrossingAndRearmsAtTheLimit) {
  book.add_value_alert("T", AlertKind::Above, "30");
  EXPECT_EQ(fired({"T=29", "T=31", "T=32", "T=30", "T=31", "H=50", "T=33"}),
            (std::vector<bool>{false, true, false, false, true, false, false}));
  EXPECT_EQ(book.rules()[0].fired_count, 2u);
  EXPECT_TRUE(book.rules()[0].beyond);
  EXPECT_EQ(tab.alert_total, 2u);
  EXPECT_EQ(tab.alert_lines, (std::deque<uint64_t>{1, 4}));
  EXPECT_TRUE(tab.is_alert_line(4));
  EXPECT_FALSE(tab.is_alert_line(2));
}

TEST_F(AlertsTest, FirstValueBeyondFiresAtOnce) {
  book.add_value_alert("T", AlertKind::Below, "5");
  EXPECT_EQ(fired({"T=3", "T=4", "T=5", "T=4.9"}), (std::vector<bool>{true, false, false, true}));
}

TEST_F(AlertsTest, OnlyTheFirstValueOfTheNameCounts) {
  book.add_value_alert("T", AlertKind::Below, "20");
  // 40 is checked, 10 is not.
  EXPECT_FALSE(line("T=40 T=10").fired);
  EXPECT_FALSE(book.rules()[0].beyond);
  // Names are compared byte for byte.
  EXPECT_FALSE(line("t=1").fired);
  EXPECT_TRUE(line("T=1").fired);
}

TEST_F(AlertsTest, CrossingStateIsSharedByAllTabs) {
  book.add_value_alert("T", AlertKind::Above, "30");
  TabAlerts other;
  const ValueList v = extract_values("T=40");
  EXPECT_TRUE(book.check_line(tab, 0, 0, stamp, "T=40", v, "COM3").fired);
  EXPECT_FALSE(book.check_line(other, 0, 0, stamp, "T=40", v, "COM4").fired);
}

TEST_F(AlertsTest, TextRuleFiresOnEveryMatchingLineInAnyCase) {
  book.add_text_alert("  error ");
  EXPECT_EQ(book.rules()[0].needle, "error");
  EXPECT_EQ(fired({"Sensor ERROR 3", "errors", "ok", "Sensor ERROR 3", "Sensor ERROR 3", "err"}),
            (std::vector<bool>{true, true, false, true, true, false}));
  EXPECT_EQ(book.rules()[0].fired_count, 4u);
}

TEST_F(AlertsTest, TextRuleUsesUnicodeLowerCase) {
  book.add_text_alert("\xC3\x84RGER");  // ÄRGER
  EXPECT_TRUE(line("kein \xC3\xA4rger hier").fired);
  book.add_text_alert("\xD0\x9E\xD0\xA8\xD0\x98\xD0\x91\xD0\x9A\xD0\x90");  // ОШИБКА
  EXPECT_TRUE(line("\xD0\xBE\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 7").fired);
}

TEST_F(AlertsTest, NoticeOncePerSecondWithTheBeepOfAnyFiredRule) {
  book.add_value_alert("T", AlertKind::Above, "30");
  book.add_text_alert("ERROR");
  book.toggle_play_sound(0);  // only the text rule beeps
  AlertOutcome a = line("T=40 ERROR");
  ASSERT_TRUE(a.notice);
  EXPECT_EQ(a.notice->text, "Alert: T > 30, \"ERROR\" (COM3)");
  EXPECT_TRUE(a.notice->error);
  EXPECT_TRUE(a.notice->actions.empty());
  EXPECT_TRUE(a.beep);

  // Within the second: counted and marked, but no notice and no beep.
  AlertOutcome b = line("ERROR", 300);
  AlertOutcome c = line("ERROR", 700);  // exactly 1 s after the notice: still held back
  EXPECT_TRUE(b.fired);
  EXPECT_TRUE(c.fired);
  EXPECT_FALSE(b.notice || b.beep || c.notice || c.beep);
  EXPECT_EQ(book.rules()[1].fired_count, 3u);
  EXPECT_EQ(tab.alert_total, 3u);

  AlertOutcome d = line("ERROR", 1);
  ASSERT_TRUE(d.notice);
  EXPECT_EQ(d.notice->text, "Alert: \"ERROR\" (COM3)");

  // A rule without sound notices without a beep.
  line("T=10", 2'000);
  AlertOutcome e = line("T=31", 2'000);
  ASSERT_TRUE(e.notice);
  EXPECT_FALSE(e.beep);
}

TEST_F(AlertsTest, FirstAlertAfterStartNoticesAtOnce) {
  // The last notice counts as ten seconds before the start.
  book.add_text_alert("x");
  const ValueList none;
  EXPECT_TRUE(book.check_line(tab, 0, 0, stamp, "x", none, "COM3").notice);
}

TEST_F(AlertsTest, SavesCloseTogetherShareOnePendingFile) {
  book.add_text_alert("ERROR");
  line("ERROR", 0);
  const Millis first = stamp;
  line("ERROR", 10'000);
  ASSERT_EQ(tab.pending_saves.size(), 1u);
  EXPECT_EQ(tab.pending_saves[0], (PendingAlertSave{first + 30'000, first}));
  line("ERROR", 35'000);  // 45 s after the first
  ASSERT_EQ(tab.pending_saves.size(), 2u);
  EXPECT_EQ(tab.pending_saves[1], (PendingAlertSave{first + 75'000, first + 45'000}));
  // 29.999 s after the second save's moment: covered; 30 s: a new one.
  line("ERROR", 29'999);
  EXPECT_EQ(tab.pending_saves.size(), 2u);
  line("ERROR", 30'001);
  EXPECT_EQ(tab.pending_saves.size(), 3u);
}

TEST_F(AlertsTest, NoSaveWithoutTheFlag) {
  book.add_text_alert("ERROR");
  book.toggle_save_log_around(0);
  EXPECT_TRUE(line("ERROR").fired);
  EXPECT_TRUE(tab.pending_saves.empty());
}

TEST_F(AlertsTest, AlertLinesArePrunedBelowDroppedPastTheLimit) {
  book.add_text_alert("x");
  const ValueList none;
  for (uint64_t n = 0; n <= kAlertLinesPruneAt; ++n) {
    (void)book.check_line(tab, n, 0, stamp, "x", none, "COM3");
  }
  EXPECT_EQ(tab.alert_lines.size(), kAlertLinesPruneAt + 1);  // all still in the log
  (void)book.check_line(tab, kAlertLinesPruneAt + 1, 40'000, stamp, "x", none, "COM3");
  EXPECT_EQ(tab.alert_lines.size(), kAlertLinesPruneAt + 2 - 40'000);
  EXPECT_EQ(tab.alert_lines.front(), 40'000u);
  EXPECT_EQ(tab.alert_total, kAlertLinesPruneAt + 2);
  tab.clear_log();
  EXPECT_TRUE(tab.alert_lines.empty());
  EXPECT_EQ(tab.alert_total, kAlertLinesPruneAt + 2);
}

TEST_F(AlertsTest, AddValueAlertReadsTheLimit) {
  EXPECT_EQ(book.add_value_alert("T", AlertKind::Above, " 21,5 ").text, "Alert added");
  EXPECT_EQ(book.rules().back().limit, 21.5);
  EXPECT_TRUE(book.rules().back().save_log_around);
  EXPECT_TRUE(book.rules().back().play_sound);
  for (const char* ok : {"-0.25", "+3", "1e3", "inf", ".5"}) {
    EXPECT_EQ(book.add_value_alert("T", AlertKind::Below, ok).text, "Alert added") << ok;
  }
  EXPECT_EQ(book.rules().size(), 6u);
  for (const char* bad : {"", "abc", "3 V", "1,2,3", "--1", "+-1", "0x10"}) {
    const LabNotice n = book.add_value_alert("T", AlertKind::Above, bad);
    EXPECT_EQ(n.text, "Type a number") << bad;
    EXPECT_TRUE(n.error);
  }
  EXPECT_EQ(book.rules().size(), 6u);
  EXPECT_FALSE(book.add_text_alert(" \t "));
  EXPECT_EQ(book.rules().size(), 6u);
}

TEST_F(AlertsTest, EveryChangeIsStored) {
  book.add_value_alert("T", AlertKind::Above, "30");
  EXPECT_EQ(settings.get_text("Rules"), "above\tT\t30\t1\t1");
  book.add_text_alert("ERROR");
  book.toggle_save_log_around(1);
  EXPECT_EQ(settings.get_text("Rules"), "above\tT\t30\t1\t1\ntext\tERROR\t\t0\t1");
  book.toggle_play_sound(0);
  book.remove_alert(1);
  EXPECT_EQ(settings.get_text("Rules"), "above\tT\t30\t1\t0");
  book.remove_alert(0);
  EXPECT_EQ(settings.get_text("Rules"), "");
  EXPECT_EQ(settings.writes["Rules"], 6);
}

TEST_F(AlertsTest, RemovingATextRuleStopsItsMatching) {
  book.add_text_alert("a");
  book.add_text_alert("b");
  book.remove_alert(0);
  EXPECT_FALSE(line("a").fired);
  EXPECT_TRUE(line("b").fired);
}

TEST_F(AlertsTest, LoadStoreRoundTrip) {
  settings.set_text("Rules",
                    "above\tT\t30\t1\t0\r\n"
                    "below\tBattery V\t-0.25\t0\t1\n"
                    "text\tERROR\t\t1\t1\n"
                    "above\tP\t0.0000001\ttrue\t1");
  book.load_rules();
  ASSERT_EQ(book.rules().size(), 4u);
  EXPECT_EQ(book.rules()[0].kind, AlertKind::Above);
  EXPECT_TRUE(book.rules()[0].save_log_around);
  EXPECT_FALSE(book.rules()[0].play_sound);
  EXPECT_EQ(book.rules()[1].series_name, "Battery V");
  EXPECT_EQ(book.rules()[1].limit, -0.25);
  EXPECT_EQ(book.rules()[2].needle, "ERROR");
  EXPECT_FALSE(book.rules()[3].save_log_around);  // "true" is not "1"
  book.store_rules();
  EXPECT_EQ(settings.get_text("Rules"),
            "above\tT\t30\t1\t0\nbelow\tBattery V\t-0.25\t0\t1\ntext\tERROR\t\t1\t1\n"
            "above\tP\t0.0000001\t0\t1");
}

TEST_F(AlertsTest, LoadSkipsMalformedLines) {
  settings.set_text("Rules",
                    "above\tT\tabc\t1\t1\n"    // limit not a number
                    "above\tT\t30\t1\n"        // four fields
                    "above\tT\t30\t1\t1\t1\n"  // six fields
                    "text\t\t\t1\t1\n"         // empty needle
                    "beside\tT\t30\t1\t1\n"    // unknown kind
                    "ABOVE\tT\t30\t1\t1\n"     // kinds are lower case
                    "\n"
                    "above\tT\t30\t1\t0");
  book.load_rules();
  ASSERT_EQ(book.rules().size(), 1u);
  EXPECT_EQ(book.rules()[0].limit, 30);
  EXPECT_TRUE(book.rules()[0].save_log_around);
  EXPECT_FALSE(book.rules()[0].play_sound);
  EXPECT_EQ(book.rules()[0].fired_count, 0u);
  EXPECT_FALSE(book.rules()[0].beyond);
}

TEST_F(AlertsTest, MissingRulesMeansNone) {
  book.add_text_alert("x");
  settings.forget_all();
  book.load_rules();
  EXPECT_TRUE(book.rules().empty());
}

TEST(AlertRules, TabsAndLineFeedsInNamesAreStoredAsSpaces) {
  std::vector<AlertRule> rules = {value_rule(AlertKind::Below, "a\tb", 5), text_rule("x\ny")};
  EXPECT_EQ(format_rules(rules), "below\ta b\t5\t1\t1\ntext\tx y\t\t1\t1");
  EXPECT_EQ(parse_rules(format_rules(rules))[0].series_name, "a b");
}

TEST(AlertRules, Describe) {
  EXPECT_EQ(describe(value_rule(AlertKind::Above, "T", 30)), "T > 30");
  EXPECT_EQ(describe(value_rule(AlertKind::Below, "V", 0.00001234)), "V < 1.234e-5");
  EXPECT_EQ(describe(value_rule(AlertKind::Above, "P", 3.14159265)), "P > 3.14159");
  EXPECT_EQ(describe(text_rule("ERROR")), "\"ERROR\"");
}

}  // namespace
}  // namespace lw
