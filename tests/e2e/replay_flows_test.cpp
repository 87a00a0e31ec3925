// A board's recording replayed by the real application on the headless
// host: given on the command line, and chosen through the main menu.
#include <gtest/gtest.h>

#include "e2e/flows.h"

namespace lw {
namespace {

class ReplayFlows : public Flows {
 protected:
  // Records the demo board's readings up to n=4 and a command with its
  // reply, then stops recording.
  std::filesystem::path record_a_board() {
    run("open COM3\n"
        "record\n"
        "until n=2\n"
        "click send_field\n"
        "type *IDN?\n"
        "key enter\n"
        "until OK *IDN?\n"
        "until n=4\n"
        "record\n");
    for (const auto& f : files()) {
      if (utf8_from_path(f.filename()).starts_with("COM3-Arduino Uno-")) return f;
    }
    ADD_FAILURE() << "no recording in " << utf8_from_path(docs);
    return {};
  }
  ScriptResult replay(const std::vector<std::string>& args, const std::string& script) {
    ScriptOptions o;
    o.args = args;
    o.args.insert(o.args.end(), {"--docs", utf8_from_path(docs / "replayed")});
    ScriptResult r = run_script(o, script);
    EXPECT_TRUE(r.ok) << r.error << "\n" << r.output;
    return r;
  }
};

// The readings of a printed log, in order.
std::vector<std::string> readings(const std::string& out) {
  std::vector<std::string> found;
  for (size_t at = out.find("  T="); at != std::string::npos; at = out.find("  T=", at + 1)) {
    const size_t n = out.find(" n=", at);
    found.push_back(out.substr(n + 1, out.find('\n', n) - n - 1));
  }
  return found;
}

TEST_F(ReplayFlows, ARecordingGivenOnTheCommandLineComesBackInOrder) {
  const std::filesystem::path recording = record_a_board();
  ASSERT_FALSE(recording.empty());
  const std::string name = utf8_from_path(recording.filename());
  const ScriptResult r = replay({"--replay", utf8_from_path(recording)},
                                "until n=4\n"
                                "wait 400\n");
  EXPECT_NE(r.output.find("session 0: " + name + " state=Open"), std::string::npos) << r.output;
  const std::vector<std::string> got = readings(r.output);
  ASSERT_GE(got.size(), 2u) << r.output;
  EXPECT_EQ(got.back(), "n=4");
  for (size_t i = 1; i < got.size(); ++i) {
    EXPECT_EQ(std::stoi(got[i].substr(2)), std::stoi(got[i - 1].substr(2)) + 1) << r.output;
  }
  EXPECT_NE(r.output.find("notice: Replay of " + name + " finished: "), std::string::npos)
      << r.output;
  // The device's reply comes back; the command it answered is not replayed.
  EXPECT_NE(r.output.find("  OK *IDN?\n"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("→ *IDN?"), std::string::npos) << r.output;
}

TEST_F(ReplayFlows, TheMainMenuOpensTheChosenFile) {
  const std::filesystem::path recording = record_a_board();
  ASSERT_FALSE(recording.empty());
  const ScriptResult r = replay({},
                                "answer 12\n"
                                "answer file " +
                                    utf8_from_path(recording) +
                                    "\n"
                                    "click menu_button\n"
                                    "until n=4\n");
  EXPECT_NE(r.output.find("session 0: " + utf8_from_path(recording.filename())), std::string::npos)
      << r.output;
}

}  // namespace
}  // namespace lw
