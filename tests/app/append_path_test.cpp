// Every line the log holds while "Record" is on is in the recording file, in
// the same order: received lines, sent lines, notes, the marks of closing,
// reopening, losing and reconnecting the port, and the lines a Close hands
// over without a drain.
#include <gtest/gtest.h>

#include "app/running_app.h"
#include "base/text_file.h"

namespace lw {
namespace {

using OneAppendPath = test::RunningApp;

// The file's lines after the byte-order mark, without their CR LF.
std::vector<std::string> file_lines(const std::string& file) {
  std::vector<std::string> out;
  std::string_view rest(file);
  if (rest.starts_with(kUtf8Bom)) rest.remove_prefix(kUtf8Bom.size());
  while (!rest.empty()) {
    const size_t end = rest.find("\r\n");
    out.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
  }
  return out;
}

TEST_F(OneAppendPath, TheRecordingHoldsEveryLineTheLogHeldInOrder) {
  start();
  app->open_tab(app->state().ports[0]);
  device->push("before record\n");
  ASSERT_TRUE(drain_until([&] { return tab().log.line_count() == 1; }));
  app->toggle_record(tab());

  device->push("T=1\n");
  ASSERT_TRUE(drain_until([&] { return tab().log.line_count() == 2; }));
  ASSERT_TRUE(app->send_line(tab(), "*IDN?"));
  app->append_mark(tab(), "── Note: 12:00:00.000 a note ──", clock.wall.load());

  // Lines the reader has handed over but no drain has taken yet: Close
  // appends them itself.
  std::string burst;
  for (int i = 0; i < 500; ++i) burst += "in flight " + std::to_string(i) + "\n";
  device->push(burst);
  ASSERT_TRUE(test::wait_handed_over(*device));
  app->close_port(tab());
  ASSERT_EQ(log_texts().back().find("── Port closed "), 0u) << log_texts().back();

  app->reopen(tab());
  ASSERT_TRUE(tab().is_open());
  device->push("after reopen\n");
  device->unplug();
  ASSERT_TRUE(drain_until([&] { return !tab().is_open(); }));

  device = ports.add("COM3");  // the device is back
  app->reconnect(tab().id);
  ASSERT_TRUE(tab().is_open());
  device->push("after reconnect\n");
  ASSERT_TRUE(drain_until([&] { return log_texts().back() == "after reconnect"; }));
  app->toggle_record(tab());

  std::vector<std::string> logged;
  tab().log.for_each_from(
      1, [&](uint64_t, const LineRecord& r) { logged.push_back(file_line(r, false)); });
  const std::vector<std::string> recorded = file_lines(read(recording_file()));
  EXPECT_EQ(recorded, logged);

  // Every kind of line was there to be lost.
  const auto has = [&](std::string_view text) {
    return std::any_of(logged.begin(), logged.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  };
  for (std::string_view text :
       {"  T=1", "  → *IDN?", "── Note: ", "  in flight 499", "── Port closed ", "  after reopen",
        "── Disconnected ", "── Reconnected ", "  after reconnect"}) {
    EXPECT_TRUE(has(text)) << text;
  }
}

}  // namespace
}  // namespace lw
