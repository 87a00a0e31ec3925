#include "send/send_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/memory_settings.h"

namespace lw {
namespace {

// The session side of a send: a port that may be closed, and a log.
class FakeTarget final : public SendTarget {
 public:
  bool open = true;
  std::vector<std::string> written;
  std::vector<LineRecord> logged;

  bool port_open() override { return open; }
  void write_to_port(Bytes bytes) override { written.emplace_back(bytes.view()); }
  void log_sent(LineRecord record) override { logged.push_back(std::move(record)); }
};

TEST(LineEnding, TwoCodings) {
  struct Case {
    uint32_t index;
    EndingChoice choice;
    LineEnding record;
    const char* bytes;
    const char* name;
  } cases[] = {
      {0, EndingChoice::None, LineEnding::None, "", "None"},
      {1, EndingChoice::Lf, LineEnding::Lf, "\n", "LF"},
      {2, EndingChoice::Cr, LineEnding::Cr, "\r", "CR"},
      {3, EndingChoice::CrLf, LineEnding::CrLf, "\r\n", "CRLF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ending_from_index(c.index), c.choice);
    EXPECT_EQ(ending_index(c.choice), c.index);
    EXPECT_EQ(record_ending(c.choice), c.record);
    EXPECT_EQ(ending_bytes(c.choice), c.bytes);
    EXPECT_EQ(ending_name(c.choice), c.name);
  }
  EXPECT_EQ(ending_from_index(std::nullopt), EndingChoice::Lf);
  EXPECT_EQ(ending_from_index(4), EndingChoice::Lf);
  EXPECT_EQ(ending_label(EndingChoice::CrLf), "Ending CRLF");
}

TEST(LineEnding, StoredEndingIsReadWhenATabOpens) {
  test::MemorySettings settings;
  EXPECT_EQ(open_send_state(settings).ending, EndingChoice::Lf);
  settings.set_dword("Ending", 7);
  EXPECT_EQ(open_send_state(settings).ending, EndingChoice::Lf);
  settings.set_dword("Ending", 0);
  SendState first = open_send_state(settings);
  EXPECT_EQ(first.ending, EndingChoice::None);
  EXPECT_FALSE(first.hex_mode);
  set_line_ending(first, settings, EndingChoice::Cr);
  EXPECT_EQ(settings.get_dword("Ending"), 2u);
  EXPECT_EQ(open_send_state(settings).ending, EndingChoice::Cr);
}

TEST(SendText, TextGetsTheEnding) {
  FakeTarget t;
  ASSERT_TRUE(send_text(t, "AT", false, EndingChoice::CrLf, 1234).ok());
  ASSERT_EQ(t.written, (std::vector<std::string>{"AT\r\n"}));
  ASSERT_EQ(t.logged.size(), 1u);
  EXPECT_EQ(t.logged[0].bytes.view(), "AT");
  EXPECT_EQ(t.logged[0].ending, LineEnding::CrLf);
  EXPECT_EQ(t.logged[0].direction, Direction::Sent);
  EXPECT_EQ(t.logged[0].time, 1234);
}

TEST(SendText, HexNeverGetsAnEnding) {
  FakeTarget t;
  ASSERT_TRUE(send_text(t, "48 65 0D 0A", true, EndingChoice::Lf, 0).ok());
  EXPECT_EQ(t.written, (std::vector<std::string>{"He\r\n"}));
  EXPECT_EQ(t.logged[0].bytes.view(), "He\r\n");
  EXPECT_EQ(t.logged[0].ending, LineEnding::None);
  // Separators only: nothing to write, and still an empty Sent line.
  ASSERT_TRUE(send_text(t, " , ", true, EndingChoice::Lf, 0).ok());
  EXPECT_EQ(t.written.size(), 1u);
  ASSERT_EQ(t.logged.size(), 2u);
  EXPECT_TRUE(t.logged.back().bytes.empty());
}

TEST(SendText, FailuresWriteAndLogNothing) {
  FakeTarget t;
  t.open = false;
  Status s = send_text(t, "AT", false, EndingChoice::CrLf, 0);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().text, "The port isn't open");
  t.open = true;
  s = send_text(t, "4G", true, EndingChoice::CrLf, 0);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().text, "Couldn't read that as HEX. Example: 48 65 6C 0D 0A");
  EXPECT_TRUE(t.written.empty());
  EXPECT_TRUE(t.logged.empty());
}

TEST(SendFromBox, EmptyBox) {
  FakeTarget t;
  SendState state;
  state.ending = EndingChoice::None;
  EXPECT_EQ(send_from_box(t, state, "", 0).outcome, BoxOutcome::Nothing);
  EXPECT_TRUE(t.written.empty());
  EXPECT_TRUE(t.logged.empty());

  state.ending = EndingChoice::Cr;
  EXPECT_EQ(send_from_box(t, state, "", 0).outcome, BoxOutcome::Sent);
  EXPECT_EQ(t.written, (std::vector<std::string>{"\r"}));
  ASSERT_EQ(t.logged.size(), 1u);
  EXPECT_TRUE(t.logged[0].bytes.empty());
  EXPECT_EQ(t.logged[0].ending, LineEnding::Cr);
  EXPECT_TRUE(state.history.entries().empty());
}

TEST(SendFromBox, PortNotOpenKeepsTheTextAndTheHistory) {
  FakeTarget t;
  SendState state;
  ASSERT_EQ(send_from_box(t, state, "a", 0).outcome, BoxOutcome::Sent);
  ASSERT_TRUE(state.history.older().has_value());  // the walk is under way
  t.open = false;                                  // the device was unplugged
  const BoxSend r = send_from_box(t, state, "*IDN?", 0);
  EXPECT_EQ(r.outcome, BoxOutcome::Kept);
  EXPECT_EQ(r.notice, "The port isn't open");
  EXPECT_EQ(state.history.entries(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(state.history.cursor(), 0u);
  EXPECT_EQ(t.written.size(), 1u);
  EXPECT_EQ(t.logged.size(), 1u);
}

TEST(SendFromBox, SentTextsEnterTheHistory) {
  FakeTarget t;
  SendState state;
  for (const char* text : {"a", "a", "b"}) {
    ASSERT_EQ(send_from_box(t, state, text, 0).outcome, BoxOutcome::Sent);
  }
  EXPECT_EQ(state.history.entries(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(t.written.size(), 3u);
}

}  // namespace
}  // namespace lw
