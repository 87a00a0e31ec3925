// Files sent to a real pseudo-terminal through the whole program: they
// arrive byte for byte, as they are or line by line, leave Sent lines (or
// one mark for a binary file), can be stopped from the progress notice, and
// a port that goes away halfway ends the send with how far it got.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <regex>
#include <thread>

#include "app/app.h"
#include "app/tab_commands.h"
#include "base/utf8_path.h"
#include "host/host_headless.h"
#include "lang/tr.h"
#include "log/display.h"
#include "serial/pty_pair.h"
#include "serial/system_port_system.h"
#include "settings/values.h"
#include "support/memory_settings.h"
#include "support/temp_folder.h"
#include "ui/menus.h"
#include "ui/widgets.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

// The device's side of the line, read on a thread of its own; it can hang
// up once it has seen enough.
class FarEnd {
 public:
  explicit FarEnd(test::PtyPair& pty, size_t hang_up_after = SIZE_MAX)
      : pty_(pty), hang_up_after_(hang_up_after), thread_([this] { run(); }) {}
  ~FarEnd() {
    stop_ = true;
    thread_.join();
  }
  std::string got() {
    std::lock_guard lock(mutex_);
    return got_;
  }
  bool hung_up() const { return hung_up_; }

 private:
  void run() {
    while (!stop_ && !hung_up_) {
      const std::string chunk = pty_.receive(65536, 20);
      std::lock_guard lock(mutex_);
      got_ += chunk;
      if (got_.size() >= hang_up_after_) {
        pty_.close_far_end();
        hung_up_ = true;
      }
    }
  }
  test::PtyPair& pty_;
  const size_t hang_up_after_;
  std::mutex mutex_;
  std::string got_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> hung_up_{false};
  std::thread thread_;
};

class SendingFiles : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    ASSERT_TRUE(pty.ok());
    switch_language("en");
    AppOptions options;
    options.docs = dir_ / "docs";
    auto a = std::make_unique<App>(host, settings, ports, options, nullptr);
    app = a.get();
    app->start();
    host.slot().install(std::move(a));
    PortInfo port;
    port.name = pty.path();
    app->open_tab(port);
    ASSERT_TRUE(tab().is_open());
    // A fast line: more may wait for the port at a time.
    set_baud(*app, tab(), 115200);
  }
  fs::path file(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  Session& tab() { return *app->state().sessions.at(0); }
  std::vector<std::pair<std::string, LineEnding>> sent_lines() {
    std::vector<std::pair<std::string, LineEnding>> out;
    tab().log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
      if (r.direction == Direction::Sent) out.emplace_back(std::string(r.bytes.view()), r.ending);
    });
    return out;
  }
  std::vector<std::string> marks() {
    std::vector<std::string> out;
    tab().log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
      if (r.direction == Direction::Mark) out.emplace_back(r.bytes.view());
    });
    return out;
  }
  std::string notice() const {
    return app->state().notice ? app->state().notice->notice.text : std::string{};
  }
  bool progress_shown() const {
    const auto& n = app->state().notice;
    return n && n->notice.actions.size() == 1 &&
           n->notice.actions[0].kind == NoticeAction::Kind::StopSending &&
           n->notice.text.starts_with("Sending ");
  }
  // Runs the loop until done() holds; a generous limit for a loaded machine.
  bool run_until(const std::function<bool()>& done) { return host.run_until(done, 60'000); }

  test::PtyPair pty;
  HeadlessHost host;
  test::MemorySettings settings;
  SystemPortSystem ports;
  App* app = nullptr;
};

std::string numbered_lines(int count, std::string_view end) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    s += "MEAS:VOLT? " + std::to_string(i) + " ............................";
    s += end;
  }
  return s;
}

TEST_F(SendingFiles, ATextFileArrivesByteForByteWithASentLineForEachLine) {
  const std::string content = numbered_lines(4000, "\r\n") + "last line without an end";
  ASSERT_GT(content.size(), 150'000u);
  FarEnd far(pty);
  bool progress = false;
  app->send_file(tab(), file("commands.txt", content));
  ASSERT_TRUE(run_until([&] {
    progress = progress || progress_shown();
    return far.got().size() >= content.size() && !tab().sending;
  })) << far.got().size()
      << " of " << content.size() << "; " << notice();
  EXPECT_EQ(far.got(), content);
  EXPECT_TRUE(progress);
  EXPECT_EQ(notice(), "Sent commands.txt (" + std::to_string(content.size()) + " bytes)");
  const auto sent = sent_lines();
  ASSERT_EQ(sent.size(), 4001u);
  EXPECT_EQ(sent[7].first, "MEAS:VOLT? 7 ............................");
  EXPECT_EQ(sent[7].second, LineEnding::CrLf);
  EXPECT_EQ(sent.back().first, "last line without an end");
  EXPECT_EQ(sent.back().second, LineEnding::None);
  EXPECT_FALSE(host.timer_period(kTimerSendFile));  // nothing left to send
}

TEST_F(SendingFiles, LineByLineEachLineTakesTheTabsEnding) {
  settings.set_dword(setting::kSendFileLines, 1);
  set_send_ending(*app, tab(), EndingChoice::CrLf);
  FarEnd far(pty);
  app->send_file(tab(), file("unix.txt", "*RST\nMEAS?\n\nSYST:ERR?\n"));
  ASSERT_TRUE(run_until([&] { return !tab().sending; })) << notice();
  ASSERT_TRUE(run_until([&] { return far.got().size() >= 26; }));
  EXPECT_EQ(far.got(), "*RST\r\nMEAS?\r\n\r\nSYST:ERR?\r\n");
  const std::vector<std::pair<std::string, LineEnding>> expected = {
      {"*RST", LineEnding::CrLf},
      {"MEAS?", LineEnding::CrLf},
      {"", LineEnding::CrLf},
      {"SYST:ERR?", LineEnding::CrLf}};
  EXPECT_EQ(sent_lines(), expected);
}

TEST_F(SendingFiles, ABinaryFileArrivesByteForByteAndLeavesOneMark) {
  std::string content;
  for (int i = 0; i < 65536; ++i) content += static_cast<char>((i * 7) % 256);
  FarEnd far(pty);
  app->send_file(tab(), file("firmware.bin", content));
  ASSERT_TRUE(run_until([&] { return far.got().size() >= content.size() && !tab().sending; }))
      << far.got().size() << "; " << notice();
  EXPECT_EQ(far.got(), content);
  EXPECT_TRUE(sent_lines().empty());
  EXPECT_EQ(marks(), std::vector<std::string>{"── Sent firmware.bin (65536 bytes) ──"});
}

TEST_F(SendingFiles, StopFromTheProgressNoticeEndsWhereTheSendHadGot) {
  settings.set_dword(setting::kSendFileLines, 1);
  settings.set_dword(setting::kSendFilePause, 10);
  const std::string content = numbered_lines(1000, "\n");
  FarEnd far(pty);
  app->send_file(tab(), file("slow.txt", content));
  ASSERT_TRUE(run_until([&] { return sent_lines().size() >= 5 && progress_shown(); }));
  app->run_notice_action(0);
  EXPECT_FALSE(tab().sending);
  const std::regex stopped("Stopped sending slow\\.txt: (\\d+) of (\\d+) bytes");
  std::smatch m;
  const std::string text = notice();
  ASSERT_TRUE(std::regex_match(text, m, stopped)) << text;
  const size_t upto = std::stoul(m[1]);
  EXPECT_EQ(std::stoul(m[2]), content.size());  // with LF as the ending, the file's size
  size_t logged = 0;
  for (const auto& line : sent_lines()) logged += line.first.size() + 1;
  EXPECT_EQ(upto, logged);
  // What was handed to the port still arrives, and nothing after it.
  ASSERT_TRUE(run_until([&] { return far.got().size() >= upto; }));
  host.run_for(300);
  EXPECT_EQ(far.got(), content.substr(0, upto));
}

TEST_F(SendingFiles, APortThatGoesAwayHalfwayEndsTheSendAndSaysHowFarItGot) {
  const std::string content = numbered_lines(16000, "\n");  // about 700 KB
  FarEnd far(pty, content.size() / 2);
  app->send_file(tab(), file("big.txt", content));
  ASSERT_TRUE(run_until([&] { return !tab().sending; })) << notice();
  EXPECT_TRUE(far.hung_up());
  EXPECT_EQ(tab().state.kind, ConnectionKind::Disconnected);
  const std::regex lost(
      "The port was lost while sending big\\.txt: (\\d+) of (\\d+) bytes went out");
  std::smatch m;
  const std::string text = notice();
  ASSERT_TRUE(std::regex_match(text, m, lost)) << text;
  EXPECT_TRUE(app->state().notice->notice.error);
  EXPECT_EQ(std::stoul(m[2]), content.size());
  const size_t written = std::stoul(m[1]);
  EXPECT_GE(written, content.size() / 4);
  EXPECT_LT(written, content.size());
  // The log says it too, after the disconnect.
  const std::vector<std::string> logged = marks();
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_TRUE(logged[0].starts_with("── Disconnected ")) << logged[0];
  EXPECT_EQ(logged[1], "── Sent big.txt (" + std::to_string(written) + " of " +
                           std::to_string(content.size()) + " bytes) ──");
  EXPECT_FALSE(host.timer_period(kTimerSendFile));
}

TEST_F(SendingFiles, TheSendBarsMenuAsksForTheFileAndAClosedPortIsSaidSo) {
  const fs::path p = file("one.txt", "*IDN?\n");
  FarEnd far(pty);
  host.open_answers.push_back(p);
  run_widget_menu_choice(*app, cmd::presets, 2);  // "Send a file…"
  ASSERT_EQ(host.open_dialogs.size(), 1u);
  EXPECT_EQ(host.open_dialogs[0].title, "Send a file");
  ASSERT_TRUE(run_until([&] { return far.got() == "*IDN?\n" && !tab().sending; })) << far.got();
  EXPECT_EQ(notice(), "Sent one.txt (6 bytes)");

  app->close_port(tab());
  app->send_file(tab(), p);
  EXPECT_EQ(notice(), "The port isn't open");
  EXPECT_FALSE(tab().sending);
}

}  // namespace
}  // namespace lw
