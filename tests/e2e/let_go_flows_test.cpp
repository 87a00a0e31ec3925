// Flashing a simulated board while its tab keeps watching: message 33 plays
// the other program that takes the port and lets it go again.
#include <gtest/gtest.h>

#include "e2e/flows.h"

namespace lw {
namespace {

TEST_F(Flows, ATabLetsGoWaitsForTheOtherProgramAndComesBackByItself) {
  const ScriptResult r =
      run("open COM3\n"
          "record\n"
          "until n=3\n"
          "key l ctrl shift\n"
          "until ── Let go\n"
          "print\n"
          "post 33 0\n"  // another program takes COM3
          "untilstate Another program is using the port\n"
          "print\n"
          "post 33 0\n"  // and lets it go
          "until ── Reconnected\n"
          "untilafter Arduino ready\n"
          "record\n"
          "print\n");
  // Let go: the tab waits, first for the other program, then for it to let go.
  const size_t let_go = r.output.find("session 0: COM3 state=Waiting");
  ASSERT_NE(let_go, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("── Let go ", let_go), std::string::npos);
  const size_t taken = r.output.find("session 0: COM3 state=Waiting", let_go + 1);
  ASSERT_NE(taken, std::string::npos) << r.output;

  // Back: the same tab, one reconnect, the new device's first line after the
  // mark, and everything in the one recording.
  const size_t last = r.output.rfind("session 0: COM3 state=Open");
  ASSERT_NE(last, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("reconnects=1", last), std::string::npos);
  EXPECT_EQ(r.output.find("session 1:"), std::string::npos);
  const size_t reconnected = r.output.rfind("── Reconnected ");
  EXPECT_LT(r.output.rfind("── Let go "), reconnected);
  EXPECT_NE(r.output.find("Arduino ready", reconnected), std::string::npos);

  const auto saved = files();
  ASSERT_EQ(saved.size(), 1u);
  const std::string text = read(saved[0]);
  const size_t file_let_go = text.find("── Let go ");
  const size_t file_back = text.find("── Reconnected ");
  ASSERT_NE(file_let_go, std::string::npos) << text;
  ASSERT_NE(file_back, std::string::npos) << text;
  EXPECT_LT(text.find("n=3"), file_let_go);
  EXPECT_LT(file_let_go, file_back);
  EXPECT_NE(text.find("Arduino ready", file_back), std::string::npos) << text;
}

TEST_F(Flows, ATabOpenedWhileAnotherProgramHasThePortOpensWhenItLetsGo) {
  const ScriptResult r =
      run("post 33 0\n"
          "open COM3\n"
          "untilstate Another program is using the port\n"
          "print\n"
          "post 33 0\n"
          "until Arduino ready\n");
  const size_t waiting = r.output.find("session 0: COM3 state=Waiting");
  ASSERT_NE(waiting, std::string::npos) << r.output;
  EXPECT_NE(r.output.find("session 0: COM3 state=Open", waiting), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("── Reconnected "), std::string::npos);  // a first open
}

}  // namespace
}  // namespace lw
