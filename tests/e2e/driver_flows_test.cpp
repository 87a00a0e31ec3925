// Whole flows of the real application on the headless host, with simulated
// devices, replayed as scripts (the same language as linewick_driver).
#include <gtest/gtest.h>

#include "e2e/flows.h"

namespace lw {
namespace {

size_t find_line(const std::string& out, const std::string& text, size_t from = 0) {
  return out.find(text, from);
}

TEST_F(Flows, UnplugSavesTheLogBeforeItAndReplugReconnectsTheSameTab) {
  const ScriptResult r =
      run("open COM3\n"
          "until n=3\n"
          "post 30 0\n"
          "until ── Disconnected\n"
          "wait 500\n"
          "print\n"
          "post 30 0\n"
          "until ── Reconnected\n"
          "wait 400\n");
  // First print: the disconnect mark follows the last reading.
  const size_t mark = find_line(r.output, "── Disconnected ");
  ASSERT_NE(mark, std::string::npos) << r.output;
  EXPECT_NE(r.output.rfind("n=3", mark), std::string::npos);
  EXPECT_NE(find_line(r.output,
                      "notice: COM3 · Arduino Uno disconnected; the log before it was "
                      "saved [error] [Open] [Open folder]"),
            std::string::npos)
      << r.output;
  // Final state: the same tab, reconnected once, the banner printed again.
  EXPECT_NE(find_line(r.output, "session 0: COM3 state=Open"), std::string::npos);
  EXPECT_EQ(find_line(r.output, "session 1:"), std::string::npos);
  EXPECT_NE(find_line(r.output, "reconnects=1"), std::string::npos);
  const size_t reconnected = r.output.rfind("── Reconnected ");
  EXPECT_NE(r.output.find("Arduino ready", reconnected), std::string::npos);

  const auto saved = files();
  ASSERT_EQ(saved.size(), 1u);
  const std::string name = utf8_from_path(saved[0].filename());
  EXPECT_TRUE(name.starts_with("COM3-Arduino Uno-")) << name;
  EXPECT_TRUE(name.ends_with("-disconnected.txt")) << name;
  const std::string text = read(saved[0]);
  EXPECT_TRUE(
      text.starts_with("\xEF\xBB\xBF# Linewick · COM3 · Arduino Uno · 9600 8N1\r\n"
                       "# The last 5 min before the disconnect · "))
      << text;
  EXPECT_NE(text.find("  Arduino ready (sketch: thermo_logger v1.2)\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with(" ──\r\n")) << text;  // ends with the marker line
}

TEST_F(Flows, CutSaveOffWritesNoFileButStillMarksTheLog) {
  const ScriptResult r =
      run("set CutSave 0\n"
          "open COM3\n"
          "until n=2\n"
          "post 30 0\n"
          "until ── Disconnected\n");
  EXPECT_NE(find_line(r.output, "notice: COM3 · Arduino Uno disconnected [error]\n"),
            std::string::npos)
      << r.output;
  EXPECT_TRUE(files().empty());
}

TEST_F(Flows, CutKeepInLinesSavesEveryLineWhenTheLogIsShorter) {
  run("set CutKeep 1000\n"
      "open COM3\n"
      "until n=4\n"
      "post 30 0\n"
      "until ── Disconnected\n");
  const auto saved = files();
  ASSERT_EQ(saved.size(), 1u);
  const std::string text = read(saved[0]);
  EXPECT_NE(text.find("# The last 1000 lines before the disconnect · "), std::string::npos);
  // Banner, readings n=2.. and the marker: every line of the log.
  EXPECT_NE(text.find("Arduino ready"), std::string::npos);
  EXPECT_NE(text.find("n=4"), std::string::npos);
}

TEST_F(Flows, WithoutAutoReconnectTheTabWaitsForTheReconnectButton) {
  const ScriptResult r =
      run("set AutoReconnect 0\n"
          "open COM3\n"
          "until n=2\n"
          "post 30 0\n"
          "until ── Disconnected\n"
          "wait 500\n"
          "post 30 0\n"
          "wait 600\n"
          "print\n"
          "action 0\n"
          "until ── Reconnected\n");
  const size_t first = find_line(r.output, "session 0: COM3 state=Lost");
  ASSERT_NE(first, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("notice: Arduino Uno (COM3) is connected again [Reconnect]", first),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("session 0: COM3 state=Open", first), std::string::npos);
}

TEST_F(Flows, AutoOpenOpensANewlyPluggedDeviceInANewTab) {
  const ScriptResult r =
      run("set AutoOpen 1\n"
          "post 30 1\n"
          "wait 600\n"
          "until Arduino ready\n");
  EXPECT_NE(find_line(r.output, "session 0: COM9 state=Open"), std::string::npos) << r.output;
  EXPECT_NE(find_line(r.output, "notice: COM9 · Spare board is connected"), std::string::npos);
}

TEST_F(Flows, ASentCommandAndItsReplyReachTheLogAndTheRecordingInOrder) {
  const ScriptResult r =
      run("open COM3\n"
          "until Arduino ready\n"
          "record\n"
          "click send_field\n"
          "type *IDN?\n"
          "key enter\n"
          "until OK *IDN?\n"
          "record\n");
  const size_t sent = r.output.find("  → *IDN?\n");
  ASSERT_NE(sent, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("  OK *IDN?\n", sent), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("notice: Recording stopped\n"), std::string::npos) << r.output;

  const auto saved = files();
  ASSERT_EQ(saved.size(), 1u);
  const std::string text = read(saved[0]);
  EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF")) << text;
  const size_t in_file = text.find("  → *IDN?\r\n");
  ASSERT_NE(in_file, std::string::npos) << text;
  EXPECT_NE(text.find("  OK *IDN?\r\n", in_file), std::string::npos) << text;
}

}  // namespace
}  // namespace lw
