// The in-window dialog (geometry, opening, what confirming does, painting),
// the notice lifetimes and the two message boxes.
#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/notices.h"
#include "gfx/palette.h"
#include "lang/platform_words.h"
#include "ui/app_fixture.h"
#include "ui/colours.h"
#include "ui/commands.h"
#include "ui/hit_test.h"

namespace lw {
namespace {

using test::AppFixture;
using test::kNoon;

class DialogTest : public AppFixture {
 protected:
  void type(std::string_view text) { ui().dialog->field.set_utf8(text); }
  const std::vector<AlertRule>& rules() { return app.state().lab->alerts().rules(); }
  std::string notice_text() {
    return app.state().notice ? app.state().notice->notice.text : std::string();
  }

  static const DrawCall* find_text(const std::vector<DrawCall>& calls, std::string_view shown) {
    for (const DrawCall& c : calls)
      if (c.kind == DrawKind::text && c.shown == shown) return &c;
    return nullptr;
  }
};

// --- geometry ---

TEST_F(DialogTest, CardSitsCentredAboveTheMiddleAndNarrowsInSmallWindows) {
  struct Case {
    float width, height, scale;
    Rect card;
  };
  const Case cases[] = {
      {400, 600, 1, {20, 170, 360, 176}},     // W - 40
      {1180, 760, 1, {360, 234, 460, 176}},   // (760 - 176) / 2.5 = 233.6
      {2360, 1520, 2, {720, 467, 920, 352}},  // everything twice
      {600, 300, 1.5f, {30, 14, 540, 264}},   // 460 * 1.5 > 600 - 60
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.width);
    RecordingGfx scaled(k.scale);
    const DialogGeometry g = dialog_geometry(scaled, k.width, k.height, k.scale);
    EXPECT_EQ(g.card, k.card);
  }
}

TEST_F(DialogTest, FieldAndButtonsFollowTheCard) {
  const DialogGeometry g = dialog_geometry(gfx, 1180, 760, 1);
  EXPECT_EQ(g.field, (Rect{380, 310, 420, 34}));
  // The recording Gfx measures 7 px per character: "OK" 14, "Cancel" 42.
  EXPECT_EQ(g.ok, (Rect{750, 360, 50, 34}));
  EXPECT_EQ(g.cancel, (Rect{664, 360, 78, 34}));
  EXPECT_EQ(g.ok.right(), g.card.right() - 20);
  EXPECT_EQ(g.cancel.right(), g.ok.x - 8);
}

// --- opening ---

TEST_F(DialogTest, EachKindOpensWithItsTextsAndTheFocusOnItsField) {
  Session& s = add_session("COM3");
  s.lab.series.append_values(kNoon, std::vector<ExtractedValue>{{"T", 21.5}});
  s.framing = FrameSpec{8, ChecksumKind::Sum, uint8_t{0xAA}};
  struct Case {
    DialogKind kind;
    std::string title, hint, initial;
  };
  const Case cases[] = {
      {DialogKind::note, "Add a note",
       "The note goes into the log and the values CSV, with the time", ""},
      {DialogKind::text_alert, "Text alert",
       "Tells you when a received line contains this text (any case)", "ERROR"},
      {DialogKind::value_above, "Alert when T goes above",
       "The limit (it tells you once, at the moment it is crossed)", "21.5"},
      {DialogKind::value_below, "Alert when T goes below",
       "The limit (it tells you once, at the moment it is crossed)", "21.5"},
      {DialogKind::framing, "Split into fixed-length frames",
       "Start byte (hex, optional) · length · checksum (sum, xor, crc8, crc16modbus, crc16ccitt, "
       "crc32; optional). Example: AA 8 sum",
       "AA 8 sum"},
      {DialogKind::device_path, "Open a device by path",
       kLinuxWords ? "A device path such as /dev/ttyUSB0, /dev/serial/by-id/… or /dev/pts/7"
                   : "A port name such as COM12 or \\\\.\\CNCA0",
       kLinuxWords ? "/dev/" : ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.title);
    ui().focus = Focus::send;
    const int repaints = host.repaints;
    open_dialog(app, k.kind, 0);
    ASSERT_TRUE(ui().dialog);
    EXPECT_EQ(ui().dialog->kind, k.kind);
    EXPECT_EQ(ui().dialog->title, k.title);
    EXPECT_EQ(ui().dialog->hint, k.hint);
    EXPECT_EQ(display_utf8(ui().dialog->field), k.initial);
    EXPECT_EQ(ui().dialog->field.caret, ui().dialog->field.text.size());
    EXPECT_FALSE(ui().dialog->field.has_selection());
    EXPECT_EQ(ui().focus, Focus::dialog);
    EXPECT_GT(host.repaints, repaints);
  }
}

TEST_F(DialogTest, ValueAlertOfASeriesWithoutPointsStartsEmpty) {
  Session& s = add_session("COM3");
  s.lab.series.append_values(kNoon, std::vector<ExtractedValue>{{"T", 1}, {"H", 40}});
  open_dialog(app, DialogKind::value_below, 1);
  ASSERT_TRUE(ui().dialog);
  EXPECT_EQ(ui().dialog->title, "Alert when H goes below");
  EXPECT_EQ(display_utf8(ui().dialog->field), "40");
}

// The port list's entry opens the dialog without a tab; OK opens what was
// typed in a tab of its own, and only what the dialog started with does
// nothing.
TEST_F(DialogTest, DevicePathFromTheEntryOpensATab) {
  paint();
  const UiFrame f = frame();
  EXPECT_EQ(hit_test(f, ui(), {f.open_by_path.x + 5, f.open_by_path.y + 5}),
            (Hit{target::open_by_path, 0}));
  run_click(View{app, gfx, kWidth, kHeight}, Hit{target::open_by_path, 0}, {});
  ASSERT_TRUE(ui().dialog);
  EXPECT_EQ(ui().dialog->kind, DialogKind::device_path);
  close_dialog(app, true);
  EXPECT_TRUE(app.state().sessions.empty());

  open_dialog(app, DialogKind::device_path);
  type("  /dev/lw-no-such-device ");
  close_dialog(app, true);
  ASSERT_EQ(app.state().sessions.size(), 1u);
  const Session& s = *app.state().sessions[0];
  EXPECT_EQ(s.port_name, "/dev/lw-no-such-device");
  EXPECT_EQ(s.state.kind, ConnectionKind::Failed);
  EXPECT_EQ(ui().focus, Focus::send);
}

TEST_F(DialogTest, KindsThatNeedATabDoNotOpenWithout) {
  for (DialogKind kind : {DialogKind::note, DialogKind::framing, DialogKind::value_above}) {
    open_dialog(app, kind, 0);
    EXPECT_FALSE(ui().dialog);
  }
  open_dialog(app, DialogKind::text_alert);
  EXPECT_TRUE(ui().dialog);
}

TEST_F(DialogTest, OpeningReplacesTheOpenDialog) {
  add_session("COM3");
  open_dialog(app, DialogKind::text_alert);
  open_dialog(app, DialogKind::note);
  ASSERT_TRUE(ui().dialog);
  EXPECT_EQ(ui().dialog->kind, DialogKind::note);
}

// --- closing ---

TEST_F(DialogTest, CancelOnlyClosesAndGivesTheFocusBack) {
  open_dialog(app, DialogKind::text_alert);
  close_dialog(app, false);
  EXPECT_FALSE(ui().dialog);
  EXPECT_EQ(ui().focus, Focus::none);  // no tab
  EXPECT_TRUE(rules().empty());

  add_session("COM3");
  open_dialog(app, DialogKind::text_alert);
  const int repaints = host.repaints;
  close_dialog(app, false);
  EXPECT_EQ(ui().focus, Focus::send);
  EXPECT_TRUE(rules().empty());
  EXPECT_FALSE(app.state().notice);
  EXPECT_GT(host.repaints, repaints);
}

TEST_F(DialogTest, ValueAlertNeedsANumber) {
  Session& s = add_session("COM3");
  s.lab.series.append_values(kNoon, std::vector<ExtractedValue>{{"T", 21.5}});

  open_dialog(app, DialogKind::value_above, 0);
  type("abc");
  close_dialog(app, true);
  EXPECT_FALSE(ui().dialog);  // a failure does not reopen it
  EXPECT_EQ(notice_text(), "Type a number");
  EXPECT_TRUE(app.state().notice->notice.error);
  EXPECT_TRUE(rules().empty());

  open_dialog(app, DialogKind::value_below, 0);
  type("  30,5 ");
  close_dialog(app, true);
  EXPECT_EQ(notice_text(), "Alert added");
  EXPECT_FALSE(app.state().notice->notice.error);
  ASSERT_EQ(rules().size(), 1u);
  EXPECT_EQ(rules()[0].kind, AlertKind::Below);
  EXPECT_EQ(rules()[0].series_name, "T");
  EXPECT_EQ(rules()[0].limit, 30.5);
}

TEST_F(DialogTest, TextAlertIsTrimmedAndBlankAddsNothing) {
  open_dialog(app, DialogKind::text_alert);
  type("   \t ");
  close_dialog(app, true);
  EXPECT_TRUE(rules().empty());
  EXPECT_FALSE(app.state().notice);

  open_dialog(app, DialogKind::text_alert);
  type("  overheat ");
  close_dialog(app, true);
  ASSERT_EQ(rules().size(), 1u);
  EXPECT_EQ(rules()[0].kind, AlertKind::Text);
  EXPECT_EQ(rules()[0].needle, "overheat");
  EXPECT_EQ(notice_text(), "Alert added");
}

TEST_F(DialogTest, NoteLandsInTheLogWithTheTime) {
  Session& s = add_session("COM3");
  append(s, "T=1", kNoon - 1000);
  clock.local = kNoon + 1234;
  open_dialog(app, DialogKind::note);
  type("  pump on, 5 V ");
  close_dialog(app, true);
  ASSERT_EQ(s.log.line_count(), 2u);
  const LineRecord& mark = s.log.back();
  EXPECT_EQ(mark.direction, Direction::Mark);
  EXPECT_EQ(mark.time, kNoon + 1234);
  EXPECT_EQ(std::string(mark.bytes.view()), "── Note: 12:00:01.234 pump on, 5 V ──");
  EXPECT_EQ(ui().focus, Focus::send);

  // An empty note is not written.
  open_dialog(app, DialogKind::note);
  close_dialog(app, true);
  EXPECT_EQ(s.log.line_count(), 2u);
}

TEST_F(DialogTest, FramingIsParsedOrReported) {
  Session& s = add_session("COM3");
  open_dialog(app, DialogKind::framing);
  type(" AA 8 sum ");
  close_dialog(app, true);
  const FrameSpec expected{8, ChecksumKind::Sum, uint8_t{0xAA}};
  EXPECT_EQ(s.framing, expected);
  EXPECT_TRUE(s.hex_view());
  EXPECT_FALSE(app.state().notice);

  open_dialog(app, DialogKind::framing);
  EXPECT_EQ(display_utf8(ui().dialog->field), "AA 8 sum");
  type("eight bytes");
  close_dialog(app, true);
  EXPECT_FALSE(ui().dialog);
  EXPECT_EQ(notice_text(), "Couldn't read that. Example: AA 8 sum (start byte, length, checksum)");
  EXPECT_TRUE(app.state().notice->notice.error);
  EXPECT_EQ(s.framing, expected);
}

// --- notices ---

TEST_F(DialogTest, NoticeStaysTenSecondsWithActionsElseThree) {
  struct Case {
    size_t actions;
    int lifetime;
  };
  for (const Case k : {Case{0, 3000}, Case{1, 10000}, Case{2, 10000}}) {
    SCOPED_TRACE(k.actions);
    Notice n{"Saved", false, std::vector<NoticeAction>(k.actions)};
    app.show_notice(n);
    EXPECT_EQ(host.timer_period(kTimerNotice), k.lifetime);
    const int64_t shown = clock.mono;

    // Still young when the timer comes early: it stays and looks again.
    clock.mono = shown + k.lifetime - 300;
    app.on_timer(kTimerNotice);
    ASSERT_TRUE(app.state().notice);
    EXPECT_EQ(host.timer_period(kTimerNotice), 300);

    // Within the 100 ms grace it goes.
    clock.mono = shown + k.lifetime - 60;
    app.on_timer(kTimerNotice);
    EXPECT_FALSE(app.state().notice);
    EXPECT_FALSE(host.timer_period(kTimerNotice));
  }
}

TEST_F(DialogTest, NewNoticeReplacesTheOldAndRestartsTheTimer) {
  app.show_notice(Notice{"first", false, {NoticeAction{}}});
  clock.mono += 5000;
  app.show_notice(Notice{"second", true, {}});
  EXPECT_EQ(notice_text(), "second");
  EXPECT_EQ(host.timer_period(kTimerNotice), 3000);
  clock.mono += 2950;
  app.on_timer(kTimerNotice);
  EXPECT_FALSE(app.state().notice);
}

// --- message boxes ---

TEST_F(DialogTest, AboutBox) {
  show_about(app);
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0].first, "About Linewick");
  EXPECT_EQ(
      host.message_boxes[0].second,
      "Linewick 0.1.0\n\n"
      "A free app to see the log of USB serial devices such as Arduino boards and "
      "instruments, with the time on every line\n\n" +
          std::string(kLinuxWords ? "It writes to a port only what you send. Logs stay on this "
                                    "computer and are never sent anywhere.\n\n"
                                  : "It writes to a port only what you send. Logs stay on this "
                                    "PC and are never sent anywhere.\n\n") +
          "https://hollent.com/");
}

TEST_F(DialogTest, SummaryAsksAndCopiesWithCrLfOnYes) {
  Session& s = add_session("COM3");
  s.description = "Arduino Uno";
  s.started_at = kNoon - 3'600'000;
  s.bytes_received = 2048;

  host.yes_no_answers.push_back(false);
  show_session_summary(app);
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0].first, "Session summary");
  const std::string asked = host.message_boxes[0].second;  // a copy: the list grows
  EXPECT_TRUE(asked.starts_with("Port: COM3 · Arduino Uno\n")) << asked;
  EXPECT_TRUE(asked.ends_with("\n\nCopy this summary?")) << asked;
  EXPECT_FALSE(host.clipboard);

  host.yes_no_answers.push_back(true);
  show_session_summary(app);
  ASSERT_TRUE(host.clipboard);
  const std::string summary =
      asked.substr(0, asked.size() - std::string("\n\nCopy this summary?").size());
  std::string expected;
  for (char ch : summary) {
    if (ch == '\n') expected += '\r';
    expected += ch;
  }
  EXPECT_EQ(*host.clipboard, expected);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 7);
  EXPECT_NE(host.clipboard->find("Bytes received: 2.0 KB\r\n"), std::string::npos);
}

TEST_F(DialogTest, SummaryWithoutATabShowsNothing) {
  show_session_summary(app);
  EXPECT_TRUE(host.message_boxes.empty());
  EXPECT_FALSE(host.clipboard);
}

// --- painting ---

TEST_F(DialogTest, PaintsCoverCardTextsFieldAndButtonsOverTheWindow) {
  add_session("COM3");
  open_dialog(app, DialogKind::text_alert);
  paint();
  const std::vector<DrawCall>& calls = gfx.calls();
  const DialogGeometry g = dialog_geometry(gfx, kWidth, kHeight, 1);

  size_t cover = calls.size();
  for (size_t i = 0; i < calls.size(); ++i) {
    const DrawCall& c = calls[i];
    if (c.kind == DrawKind::fill_rect && c.rect == Rect{0, 0, kWidth, kHeight} &&
        c.colour == Color{0, 0, 0, 0.35f}) {
      cover = i;
    }
  }
  ASSERT_LT(cover, calls.size());
  const std::vector<DrawCall> after(calls.begin() + static_cast<ptrdiff_t>(cover), calls.end());

  bool card = false;
  for (const DrawCall& c : after) {
    card = card || (c.kind == DrawKind::fill_rounded_rect && c.rect == g.card && c.radius == 12 &&
                    c.colour == light_palette[Pal::card]);
  }
  EXPECT_TRUE(card);

  const DrawCall* title = find_text(after, "Text alert");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->format, TextFormat::bold);
  EXPECT_EQ(title->rect, (Rect{g.card.x + 20, g.card.y + 14, g.card.w - 40, 30}));
  const DrawCall* hint =
      find_text(after, "Tells you when a received line contains this text (any case)");
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->format, TextFormat::small);
  EXPECT_EQ(hint->colour, light_palette[Pal::muted]);

  const DrawCall* field = find_text(after, "ERROR");
  ASSERT_NE(field, nullptr);
  EXPECT_GE(field->rect.x, g.field.x);

  const DrawCall* ok = find_text(after, "OK");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->rect, g.ok);
  EXPECT_EQ(ok->align, Align::centre);
  // White does not stand out on the light green: the dark ink.
  EXPECT_EQ(ok->colour, colours::on_accent_dark);
  const DrawCall* cancel = find_text(after, "Cancel");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->rect, g.cancel);
  EXPECT_EQ(cancel->align, Align::centre);
}

TEST_F(DialogTest, NothingIsPaintedWithoutADialog) {
  add_session("COM3");
  paint();
  for (const DrawCall& c : gfx.calls()) {
    EXPECT_FALSE((c.kind == DrawKind::fill_rect && c.colour == Color{0, 0, 0, 0.35f}));
  }
}

}  // namespace
}  // namespace lw
