// Flows through the popup menus and the in-window dialog: alerts, repeat,
// presets, framing and the stamp mode, chosen as a person would (the
// driver answers each popup with the id of an item).
#include <gtest/gtest.h>

#include "e2e/flows.h"

namespace lw {
namespace {

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(Flows, ATextAlertAddedThroughItsDialogFires) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=2\n"
          "answer 1\n"  // "Add a text alert…"
          "click alerts\n"
          "print view\n"
          "key a ctrl\n"
          "type n=5\n"
          "key enter\n"
          "print notice\n"
          "until n=6\n"
          "print notice\n");
  EXPECT_NE(r.output.find("focus=dialog"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("notice: Alert added\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("notice: Alert: \"n=5\" (COM3)"), std::string::npos) << r.output;
}

TEST_F(Flows, AValueAlertWithAWordSaysTypeANumber) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=3\n"
          "answer 500\n"  // "T goes above a limit"
          "click alerts\n"
          "key a ctrl\n"
          "type abc\n"
          "key enter\n"
          "print notice\n"
          "print view\n");
  EXPECT_NE(r.output.find("notice: Type a number [error]"), std::string::npos) << r.output;
  // The dialog is gone and the focus is back on the send field.
  EXPECT_NE(r.output.find("focus=send"), std::string::npos) << r.output;
}

TEST_F(Flows, ARepeatStartsFromItsMenuAndStopsFromIt) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=2\n"
          "click send_field\n"
          "type *IDN?\n"
          "answer 110\n"  // every 200 ms, until stopped
          "click repeat\n"
          "waitlines 12\n"
          "answer 1\n"  // "Stop sending repeatedly"
          "click repeat\n"
          "print rows\n"
          "wait 1000\n"
          "print rows\n");
  // The two prints of the rows: at the stop, and a second later.
  const size_t first = r.output.find("rows: ");
  const size_t second = r.output.find("rows: ", first + 1);
  ASSERT_NE(second, std::string::npos) << r.output;
  const std::string at_stop = r.output.substr(first, second - first);
  const std::string later = r.output.substr(second, r.output.find("\nsession ", second) - second);
  EXPECT_GE(count(at_stop, "→ *IDN?"), 2u) << r.output;
  // Nothing is sent once it is stopped.
  EXPECT_EQ(count(later, "→ *IDN?"), count(at_stop, "→ *IDN?")) << r.output;
}

TEST_F(Flows, APresetIsSentFromItsMenu) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=2\n"
          "answer 1001\n"  // "MEAS:VOLT?"
          "click presets\n"
          "until OK MEAS:VOLT?\n"
          "print rows\n");
  EXPECT_NE(r.output.find("→ MEAS:VOLT?"), std::string::npos) << r.output;
}

TEST_F(Flows, FramingThroughItsDialogAndTheStampMode) {
  const ScriptResult r =
      run("click port_row COM3\n"
          "until n=3\n"
          "answer 2\n"  // "Date and time"
          "click stamp_mode\n"
          "answer 401\n"  // "Into fixed-length frames…"
          "click frame_setting\n"
          "key a ctrl\n"
          "type AA 8 sum\n"
          "key enter\n"
          "print notice\n"
          "print rows\n");
  // Frames turn hex view on (the lines already there show as bytes too);
  // the stamps carry the date.
  EXPECT_EQ(r.output.find("Couldn't read that"), std::string::npos) << r.output;
  const size_t rows = r.output.rfind("rows: ");
  ASSERT_NE(rows, std::string::npos) << r.output;
  const std::string shown = r.output.substr(rows);
  EXPECT_NE(shown.find(" 54 3D "), std::string::npos) << shown;  // "T=" in hex
  EXPECT_NE(shown.find("2026-"), std::string::npos) << shown;
}

}  // namespace
}  // namespace lw
