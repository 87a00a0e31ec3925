// Flows driven by the mouse and the keyboard, as the window delivers them:
// clicks on what the frame shows, typed characters, keys and the wheel.
#include <gtest/gtest.h>

#include "e2e/flows.h"

namespace lw {
namespace {

// The text after "prefix" up to the end of its line, for each print.
std::vector<std::string> printed(const std::string& out, const std::string& prefix) {
  std::vector<std::string> found;
  for (size_t at = out.find(prefix); at != std::string::npos; at = out.find(prefix, at + 1)) {
    if (at != 0 && out[at - 1] != '\n') continue;
    const size_t from = at + prefix.size();
    found.push_back(out.substr(from, out.find('\n', from) - from));
  }
  return found;
}

TEST_F(Flows, APortOpenedByClickSendsWhatIsTypedAndEnterWalksTheHistory) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until Arduino ready\n"
          "click send_field\n"
          "type *IDN?\n"
          "key enter\n"
          "until OK *IDN?\n"
          "type MEAS?\n"
          "key enter\n"
          "until OK MEAS?\n"
          "print field\n"
          "key up\n"
          "print field\n"
          "key up\n"
          "print field\n"
          "key down\n"
          "print field\n"
          "key down\n"
          "print field\n"
          "print rows\n");
  EXPECT_EQ(printed(r.output, "field send: "),
            (std::vector<std::string>{"\"\" caret=0", "\"MEAS?\" caret=5", "\"*IDN?\" caret=5",
                                      "\"MEAS?\" caret=5", "\"\" caret=0"}))
      << r.output;
  const size_t sent = r.output.find("  → *IDN?\n");
  ASSERT_NE(sent, std::string::npos) << r.output;
  const size_t reply = r.output.find("  OK *IDN?\n", sent);
  ASSERT_NE(reply, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("  → MEAS?\n", reply), std::string::npos) << r.output;
}

TEST_F(Flows, SearchFindsWithF3AndMatchingOnlyShowsOnlyTheMatch) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=4\n"
          "click search_field\n"
          "type N=3 \n"
          "wait 400\n"
          "print view\n"
          "key f3\n"
          "print rows\n"
          "click matching_only\n"
          "print rows\n");
  // The search runs once typing pauses, trimmed and lower-cased.
  const auto views = printed(r.output, "view: ");
  ASSERT_EQ(views.size(), 1u) << r.output;
  EXPECT_NE(views[0].find("search=\"n=3\" focus=search"), std::string::npos) << views[0];
  // F3 selects the matching line; Matching only leaves it alone on screen.
  const auto rows = printed(r.output, "rows: ");
  ASSERT_EQ(rows.size(), 2u) << r.output;
  const auto selected = printed(r.output, "* ");
  ASSERT_EQ(selected.size(), 2u) << r.output;
  EXPECT_TRUE(selected[0].ends_with(" n=3")) << selected[0];
  EXPECT_EQ(selected[1], selected[0]);
  EXPECT_EQ(rows[1], "0 of 1") << r.output;
}

TEST_F(Flows, ShiftClickSelectsRowsAndCtrlCCopiesThem) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=4\n"
          "click log_rows 1\n"
          "click log_rows 3 shift\n"
          "key c ctrl\n"
          "print notice\n"
          "print clipboard\n");
  EXPECT_NE(r.output.find("notice: Copied 3 lines\n"), std::string::npos) << r.output;
  const size_t clip = r.output.find("clipboard: ");
  ASSERT_NE(clip, std::string::npos) << r.output;
  const std::string text = r.output.substr(clip + 11, r.output.find("\nsession", clip) - clip - 11);
  EXPECT_NE(text.find("n=2\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("n=3\r\n"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("n=4")) << text;
}

TEST_F(Flows, WheelUpStopsFollowingAndPageDownToTheEndResumesIt) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until Arduino ready\n"
          "click send_field\n"
          "type x\n"
          "repeat 20 40\n"
          "waitlines 60\n"
          "wheel log_rows 5 120\n"
          "wheel log_rows 5 120\n"
          "wheel log_rows 5 120\n"
          "print view\n"
          "key pagedown\n"
          "print view\n");
  const auto views = printed(r.output, "view: ");
  ASSERT_EQ(views.size(), 2u) << r.output;
  EXPECT_NE(views[0].find("follow=0"), std::string::npos) << views[0];
  EXPECT_NE(views[1].find("follow=1"), std::string::npos) << views[1];
}

TEST_F(Flows, TheWheelZoomsTheGraphWithinItsLimitsAndCtrlWClosesTheTab) {
  std::string script =
      "click port_row COM3\n"
      "until Arduino ready\n"
      "click graph\n"
      "wheel plot -120\n"
      "print view\n";
  for (int i = 0; i < 12; ++i) script += "wheel plot 120\n";
  script += "print view\nkey w ctrl\n";
  const ScriptResult r = run(script);
  const auto views = printed(r.output, "view: ");
  ASSERT_EQ(views.size(), 2u) << r.output;
  EXPECT_NE(views[0].find("graph=1 span=90000"), std::string::npos) << views[0];
  EXPECT_NE(views[1].find("span=2000 "), std::string::npos) << views[1];
  EXPECT_EQ(r.output.find("session 0:"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace lw
