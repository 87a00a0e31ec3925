#include "log/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lw {
namespace {

LineRecord rx(std::string_view text, Millis time = 0, LineEnding ending = LineEnding::Lf) {
  return LineRecord{Bytes(text), time, ending, Direction::Received};
}
LineRecord tx(std::string_view text, Millis time = 0) {
  return LineRecord{Bytes(text), time, LineEnding::CrLf, Direction::Sent};
}
LineRecord mark(std::string_view text, Millis time = 0) {
  return LineRecord{Bytes(text), time, LineEnding::None, Direction::Mark};
}

std::vector<std::string> shown_texts(const Log& log) {
  std::vector<std::string> out;
  for (size_t row = 0; row < log.shown_count(); ++row) {
    out.emplace_back(log.shown_record(row).bytes.view());
  }
  return out;
}

std::vector<uint64_t> filter_of(const Log& log) {
  return {log.filter().begin(), log.filter().end()};
}

using Texts = std::vector<std::string>;
using Numbers = std::vector<uint64_t>;

TEST(Ring, KeepsOrderWhileGrowingWrappedAround) {
  Ring<int> ring;
  int next_in = 0;
  int next_out = 0;
  // Pops keep the head moving, so every growth happens with the ring wrapped.
  for (int round = 0; round < 200; ++round) {
    for (int i = 0; i < 3; ++i) ring.push_back(next_in++);
    ring.pop_front();
    ++next_out;
    ASSERT_EQ(ring.size(), static_cast<size_t>(next_in - next_out));
    for (size_t i = 0; i < ring.size(); ++i) ASSERT_EQ(ring[i], next_out + static_cast<int>(i));
  }
  EXPECT_EQ(ring.back(), next_in - 1);
  ring.clear();
  EXPECT_TRUE(ring.empty());
  ring.push_back(7);
  EXPECT_EQ(ring.front(), 7);
}

TEST(Ring, GrowsToItsLimitNotThePowerOfTwoAndGoesRoundThere) {
  Ring<int> ring(100);
  for (int i = 0; i < 100; ++i) ring.push_back(int{i});
  EXPECT_EQ(ring.capacity(), 100u);  // 16, 32, 64, then the limit
  // Full: each push after a pop reuses the freed slot, round and round.
  for (int i = 100; i < 350; ++i) {
    ring.pop_front();
    ring.push_back(int{i});
    ASSERT_EQ(ring.capacity(), 100u);
    ASSERT_EQ(ring.front(), i - 99);
    ASSERT_EQ(ring.back(), i);
  }
  for (size_t i = 0; i < ring.size(); ++i) ASSERT_EQ(ring[i], 250 + static_cast<int>(i));
  // Past the limit it still grows (by doubling) rather than lose an element.
  ring.push_back(350);
  EXPECT_EQ(ring.capacity(), 200u);
  EXPECT_EQ(ring.size(), 101u);
  EXPECT_EQ(ring.front(), 250);
  EXPECT_EQ(ring.back(), 350);
  ring.clear();
  EXPECT_EQ(ring.capacity(), 0u);
  for (int i = 0; i < 20; ++i) ring.push_back(int{i});
  EXPECT_EQ(ring.capacity(), 32u);
  EXPECT_EQ(ring[19], 19);

  Ring<int> tiny(3);
  for (int i = 0; i < 3; ++i) tiny.push_back(int{i});
  EXPECT_EQ(tiny.capacity(), 3u);
}

TEST(LogLimits, LineLimitDropsTheOldest) {
  Log log;
  for (int i = 0; i <= 200'000; ++i) log.append(rx(std::to_string(i)), "");
  EXPECT_EQ(log.line_count(), 200'000u);
  EXPECT_EQ(log.dropped(), 1u);
  EXPECT_EQ(log.absolute_of_row(0), 1u);
  EXPECT_EQ(log.shown_record(0).bytes.view(), "1");
  EXPECT_EQ(log.back().bytes.view(), "200000");
  EXPECT_EQ(log.lines_received(), 200'001u);
  uint64_t bytes = 0;
  log.for_each_from(0, [&](uint64_t, const LineRecord& r) { bytes += r.bytes.size(); });
  EXPECT_EQ(log.held_bytes(), bytes);
}

TEST(LogLimits, ByteLimitKeeps64MiBOf4096ByteLines) {
  Log log;
  const std::string line(4096, 'x');
  const int lines = 70 * 1024 * 1024 / 4096;
  for (int i = 0; i < lines; ++i) log.append(rx(line, i, LineEnding::None), "");
  EXPECT_EQ(log.line_count(), 16'384u);
  EXPECT_EQ(log.held_bytes(), kLogMaxBytes);
  EXPECT_EQ(log.dropped(), static_cast<uint64_t>(lines - 16'384));
  EXPECT_EQ(log.shown_record(0).time, lines - 16'384);
}

TEST(LogLimits, NewestLineStaysHoweverLarge) {
  Log log(100, 100);
  for (int i = 0; i < 10; ++i) log.append(rx(std::string(10, 'a')), "");
  EXPECT_EQ(log.line_count(), 10u);  // exactly at the limit is within it
  EXPECT_EQ(log.held_bytes(), 100u);

  const Appended big = log.append(rx(std::string(500, 'b')), "");
  EXPECT_EQ(big.trimmed, 10u);
  EXPECT_EQ(log.line_count(), 1u);
  EXPECT_EQ(log.held_bytes(), 500u);
  EXPECT_EQ(big.absolute, 10u);

  log.append(rx("c"), "");
  EXPECT_EQ(log.line_count(), 1u);
  EXPECT_EQ(log.back().bytes.view(), "c");
  EXPECT_EQ(log.held_bytes(), 1u);
  EXPECT_EQ(log.dropped(), 11u);
}

TEST(LogLimits, LinesReceivedCountsReceivedOnlyAndSurvivesClear) {
  Log log(3);
  log.append(rx("a"), "");
  log.append(tx("b"), "");
  log.append(mark("c"), "");
  for (int i = 0; i < 5; ++i) log.append(rx("d"), "");
  log.clear();
  EXPECT_EQ(log.lines_received(), 6u);
  EXPECT_EQ(log.dropped(), 8u);
  EXPECT_EQ(log.held_bytes(), 0u);
  EXPECT_EQ(log.line_count(), 0u);
}

TEST(LogMatching, SearchTextIsTrimmedAndLowerCased) {
  EXPECT_EQ(normalize_search_text("  ERR\t"), "err");
  EXPECT_EQ(normalize_search_text("\u3000\u00A0ÄRGER Ω\u2003\n"), "ärger ω");
  EXPECT_EQ(normalize_search_text("a  B"), "a  b");
  EXPECT_EQ(normalize_search_text(" \t "), "");
  EXPECT_EQ(normalize_search_text(""), "");
}

TEST(LogMatching, LineMatchesTheShownForm) {
  const std::string crlf = normalize_search_text("0D 0A");
  EXPECT_FALSE(line_matches(rx("anything"), false, ""));
  EXPECT_TRUE(line_matches(rx("Error 5"), false, "err"));
  EXPECT_TRUE(line_matches(rx("ÄRGER"), false, "ärger"));
  EXPECT_FALSE(line_matches(rx("ok"), false, "err"));
  EXPECT_TRUE(line_matches(mark("── Port closed ──"), false, "closed"));
  // Hex view searches the hex dump, ending included.
  EXPECT_TRUE(line_matches(rx("OK", 0, LineEnding::CrLf), true, crlf));
  EXPECT_FALSE(line_matches(rx("OK", 0, LineEnding::Lf), true, crlf));
  EXPECT_FALSE(line_matches(rx("OK", 0, LineEnding::CrLf), false, crlf));
  // Control pictures are part of the text view.
  EXPECT_TRUE(line_matches(rx("a\x01"), false, "a\u2401"));
}

TEST(LogFilter, MatchingOnlyShowsMatchesAndMarks) {
  Log log;
  const std::string err = normalize_search_text(" ERR ");
  log.append(rx("Error 5"), err);
  log.append(rx("ok"), err);
  log.append(mark("── Note: 12:00:00.000 here ──"), err);
  log.set_matching_only(true, err, 10);
  EXPECT_EQ(shown_texts(log), (Texts{"Error 5", "── Note: 12:00:00.000 here ──"}));
  EXPECT_EQ(filter_of(log), (Numbers{0, 2}));

  // New lines are filtered as they arrive.
  EXPECT_FALSE(log.append(rx("fine"), err).shown);
  EXPECT_TRUE(log.append(rx("err 6"), err).shown);
  EXPECT_TRUE(log.append(mark("── Port closed ──"), err).shown);
  EXPECT_EQ(filter_of(log), (Numbers{0, 2, 4, 5}));
  EXPECT_EQ(log.row_of_absolute(4), 2u);
  EXPECT_EQ(log.row_of_absolute(3), std::nullopt);
  EXPECT_EQ(log.row_at_or_after(3), 2u);

  // A new search text rebuilds the list and goes back to following.
  log.set_scroll(1);
  log.set_follow(false);
  log.rebuild_filter("fine");
  EXPECT_EQ(shown_texts(log),
            (Texts{"── Note: 12:00:00.000 here ──", "fine", "── Port closed ──"}));
  EXPECT_EQ(log.scroll(), 0);
  EXPECT_TRUE(log.follow());

  log.set_follow(false);
  log.set_matching_only(false, "fine", 2);
  EXPECT_FALSE(log.matching_only());
  EXPECT_EQ(log.shown_count(), 6u);
  EXPECT_TRUE(log.follow());
  EXPECT_EQ(log.scroll(), 4);

  // Without Matching only, a new search text changes nothing.
  log.rebuild_filter("ok");
  EXPECT_FALSE(log.matching_only());
  EXPECT_EQ(log.shown_count(), 6u);
}

TEST(LogFilter, EmptySearchShowsOnlyMarks) {
  Log log;
  log.append(rx("a"), "");
  log.append(mark("m"), "");
  log.set_matching_only(true, "", 10);
  EXPECT_EQ(shown_texts(log), (Texts{"m"}));
}

TEST(LogFilter, TrimmingDropsFilterEntriesOfRemovedLines) {
  Log log(5);
  log.set_matching_only(true, "err", 3);
  for (int i = 0; i < 8; ++i) log.append(rx(i % 2 == 0 ? "err " + std::to_string(i) : "ok"), "err");
  // Lines 3..7 remain; of them 4 and 6 match.
  EXPECT_EQ(log.dropped(), 3u);
  EXPECT_EQ(filter_of(log), (Numbers{4, 6}));
  EXPECT_EQ(shown_texts(log), (Texts{"err 4", "err 6"}));
  EXPECT_EQ(log.row_of_absolute(2), std::nullopt);

  // A long run on a full log: the list stays exactly the lines present.
  Log big(100);
  big.set_matching_only(true, "x", 10);
  for (int i = 0; i < 5000; ++i) big.append(rx(i % 3 == 0 ? "ok" : "x"), "x");
  Numbers expected;
  for (uint64_t a = 4900; a < 5000; ++a) {
    if (a % 3 != 0) expected.push_back(a);
  }
  EXPECT_EQ(filter_of(big), expected);
  EXPECT_EQ(big.absolute_of_row(0), expected.front());
}

TEST(LogFilter, HexViewRebuildsTheFilter) {
  Log log;
  const std::string crlf = normalize_search_text("0d 0a");
  log.append(rx("A", 0, LineEnding::CrLf), crlf);
  log.append(rx("B", 0, LineEnding::Lf), crlf);
  log.append(rx("C", 0, LineEnding::CrLf), crlf);
  log.set_matching_only(true, crlf, 10);
  EXPECT_EQ(log.shown_count(), 0u);
  log.set_hex_view(true, crlf, 10);
  EXPECT_TRUE(log.hex_view());
  EXPECT_EQ(shown_texts(log), (Texts{"A", "C"}));
  log.append(rx("D", 0, LineEnding::CrLf), crlf);
  EXPECT_EQ(shown_texts(log), (Texts{"A", "C", "D"}));
}

TEST(LogClear, MatchingOnlyStaysOnWithAnEmptyList) {
  Log log;
  log.set_matching_only(true, "err", 10);
  log.append(rx("err 1"), "err");
  log.append(rx("ok"), "err");
  log.select_all();
  log.set_scroll(3);
  log.set_follow(false);
  log.clear();
  EXPECT_TRUE(log.matching_only());
  EXPECT_EQ(log.shown_count(), 0u);
  EXPECT_EQ(log.selection(), std::nullopt);
  EXPECT_EQ(log.scroll(), 0);
  EXPECT_TRUE(log.follow());
  EXPECT_EQ(log.dropped(), 2u);

  log.append(rx("ok again"), "err");
  log.append(rx("err 2"), "err");
  EXPECT_EQ(filter_of(log), (Numbers{3}));
  EXPECT_EQ(shown_texts(log), (Texts{"err 2"}));
}

TEST(LogScroll, TrimmingLowersScrollByShownLinesRemoved) {
  Log log(10);
  for (int i = 0; i < 10; ++i) log.append(rx("l"), "");
  log.set_follow(false);
  log.set_scroll(5.5);
  log.append(rx("l"), "");
  log.append(rx("l"), "");
  log.append(rx("l"), "");
  EXPECT_DOUBLE_EQ(log.scroll(), 2.5);
  for (int i = 0; i < 5; ++i) log.append(rx("l"), "");
  EXPECT_EQ(log.scroll(), 0);

  // With a filter only the removed filter entries count.
  Log filtered(4);
  filtered.set_matching_only(true, "m", 1);
  for (const char* t : {"m", "x", "m", "m"}) filtered.append(rx(t), "m");
  filtered.set_follow(false);
  filtered.set_scroll(2);
  filtered.append(rx("x"), "m");  // drops "m": one shown line gone
  EXPECT_EQ(filtered.scroll(), 1);
  filtered.append(rx("x"), "m");  // drops "x": nothing shown gone
  EXPECT_EQ(filtered.scroll(), 1);
}

TEST(LogScroll, FollowAndClamping) {
  Log log;
  for (int i = 0; i < 3; ++i) log.append(rx("l"), "");
  log.scroll_to_end(10);
  EXPECT_EQ(log.scroll(), 0);  // fewer lines than rows
  for (int i = 0; i < 20; ++i) log.append(rx("l"), "");
  log.settle_scroll(10);
  EXPECT_EQ(log.scroll(), 13);

  log.set_follow(false);
  log.set_scroll(50);
  log.settle_scroll(10);
  EXPECT_EQ(log.scroll(), 13);
  log.set_scroll(-2);
  log.clamp_scroll(10);
  EXPECT_EQ(log.scroll(), 0);
  log.settle_scroll(10);
  EXPECT_EQ(log.scroll(), 0);  // not following: stays

  log.jump_to_bottom(10);
  EXPECT_TRUE(log.follow());
  EXPECT_EQ(log.scroll(), 13);
}

class LogSearch : public ::testing::Test {
 protected:
  void fill(const std::vector<std::string>& texts) {
    for (const auto& t : texts) log.append(rx(t), "");
  }
  // The row of the single selected line.
  size_t selected_row() const {
    EXPECT_TRUE(log.selection().has_value());
    EXPECT_EQ(log.selection()->anchor, log.selection()->caret);
    return *log.row_of_absolute(log.selection()->caret);
  }
  Log log;
};

TEST_F(LogSearch, ForwardAndBackwardWrapAround) {
  fill({"a0", "b1", "a2", "b3", "a4"});
  log.scroll_to_end(10);
  ASSERT_EQ(log.search_next(false, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 2u);  // from the first visible row, which is row 0
  EXPECT_FALSE(log.follow());
  ASSERT_EQ(log.search_next(false, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 4u);
  ASSERT_EQ(log.search_next(false, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 0u);  // wrapped from the last row
  ASSERT_EQ(log.search_next(true, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 4u);  // and backwards from the first
  ASSERT_EQ(log.search_next(true, "b", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 3u);
}

TEST_F(LogSearch, OnlyMatchAtTheStartRowIsFoundAgain) {
  fill({"x", "match", "y"});
  log.set_selection(Selection{1, 1});
  EXPECT_EQ(log.search_next(false, "match", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 1u);
  EXPECT_EQ(log.search_next(true, "match", 10), SearchOutcome::Found);
  EXPECT_EQ(selected_row(), 1u);
}

TEST_F(LogSearch, NotFoundAndNothingToDoChangeNothing) {
  EXPECT_EQ(log.search_next(false, "a", 10), SearchOutcome::NothingToDo);  // empty log
  fill({"a", "b"});
  EXPECT_EQ(log.search_next(false, "", 10), SearchOutcome::NothingToDo);
  log.set_selection(Selection{0, 1});
  EXPECT_EQ(log.search_next(false, "zzz", 10), SearchOutcome::NotFound);
  EXPECT_EQ(log.selection(), (Selection{0, 1}));
  EXPECT_TRUE(log.follow());
}

TEST_F(LogSearch, ScrollsAnOffScreenMatchToTheMiddle) {
  std::vector<std::string> texts(100, "line");
  texts[80] = "target";
  texts[3] = "near";
  fill(texts);
  log.set_scroll(0);
  ASSERT_EQ(log.search_next(false, "target", 10), SearchOutcome::Found);
  EXPECT_EQ(log.scroll(), 75);
  // The last full row is on screen: the view stays.
  log.set_selection(std::nullopt);
  log.set_scroll(71);
  ASSERT_EQ(log.search_next(false, "target", 10), SearchOutcome::Found);
  EXPECT_EQ(log.scroll(), 71);
  // The row below it is not.
  log.set_selection(std::nullopt);
  log.set_scroll(70.5);
  ASSERT_EQ(log.search_next(false, "target", 10), SearchOutcome::Found);
  EXPECT_EQ(log.scroll(), 75);
  // Centring near the top stops at 0.
  log.set_selection(std::nullopt);
  ASSERT_EQ(log.search_next(true, "near", 10), SearchOutcome::Found);
  EXPECT_EQ(log.scroll(), 0);
  EXPECT_EQ(selected_row(), 3u);
}

TEST_F(LogSearch, CaretOutsideTheFilterStartsAtTheNextShownRow) {
  fill({"a0", "b1", "a2", "b3", "a4", "b5"});
  log.set_matching_only(true, "a", 10);  // rows: a0, a2, a4
  log.set_selection(Selection{3, 3});    // b3, not shown: start at a4
  ASSERT_EQ(log.search_next(false, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(log.selection()->caret, 0u);
  log.set_selection(Selection{5, 5});  // after the last shown row
  ASSERT_EQ(log.search_next(false, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(log.selection()->caret, 0u);
  log.set_selection(Selection{5, 5});
  ASSERT_EQ(log.search_next(true, "a", 10), SearchOutcome::Found);
  EXPECT_EQ(log.selection()->caret, 4u);
}

TEST(LogCopy, SelectionCopiesShownLinesInLogOrder) {
  Log log;
  log.append(rx("zero", 1000), "");
  log.append(rx("one", 2000), "");
  log.append(tx("two", 3000), "");
  log.append(mark("── three ──", 4000), "");
  log.append(rx("four", 5000), "");
  EXPECT_FALSE(log.copy_selection(StampMode::Time, 0));

  log.set_selection(Selection{log.absolute_of_row(3), log.absolute_of_row(1)});
  const std::optional<CopiedLines> copied = log.copy_selection(StampMode::SinceOpening, 1000);
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->count, 3u);
  EXPECT_EQ(copied->text, "+00:01.000  one\r\n+00:02.000  → two\r\n── three ──");

  // Under a filter only the shown lines of the range.
  log.set_matching_only(true, "o", 10);  // zero, one, two, three (mark), four
  log.rebuild_filter("e");               // zero, one, three (mark)
  log.set_selection(Selection{0, 4});
  const std::optional<CopiedLines> filtered = log.copy_selection(StampMode::Time, 0);
  ASSERT_TRUE(filtered);
  EXPECT_EQ(filtered->count, 3u);
  EXPECT_EQ(filtered->text, "00:00:01.000  zero\r\n00:00:02.000  one\r\n── three ──");
}

TEST(LogCopy, DroppedLinesOfASelectionAreLeftOut) {
  Log log(3);
  for (const char* t : {"a", "b", "c"}) log.append(rx(t), "");
  log.set_selection(Selection{2, 0});
  log.append(rx("d"), "");
  log.append(rx("e"), "");
  const std::optional<CopiedLines> copied = log.copy_selection(StampMode::Time, 0);
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->count, 1u);
  EXPECT_EQ(copied->text, "00:00:00.000  c");
  EXPECT_NE(copied_lines_notice(3).find('3'), std::string::npos);
}

TEST(LogCopy, ASelectionWhoseLinesAreAllGoneIsNoSelection) {
  Log log(2);
  for (const char* t : {"a", "b"}) log.append(rx(t), "");
  log.set_selection(Selection{0, 1});
  log.append(rx("c"), "");
  log.append(rx("d"), "");
  // The caller then shows "Select lines first" and leaves the clipboard alone.
  EXPECT_FALSE(log.copy_selection(StampMode::Time, 0));

  // Likewise when Matching only hides every selected line.
  log.set_selection(Selection{2, 2});
  log.set_matching_only(true, "d", 10);
  EXPECT_FALSE(log.copy_selection(StampMode::Time, 0));
}

TEST(LogCopy, SelectAll) {
  Log log;
  log.select_all();
  EXPECT_EQ(log.selection(), std::nullopt);
  for (const char* t : {"x1", "y", "x2", "y"}) log.append(rx(t), "");
  log.select_all();
  EXPECT_EQ(log.selection(), (Selection{0, 3}));
  log.set_matching_only(true, "x", 10);
  log.select_all();
  EXPECT_EQ(log.selection(), (Selection{0, 2}));
}

TEST(LogLines, FirstAtOrAfterBisectsTimes) {
  Log log(4);
  for (Millis t : {5, 10, 20, 20, 30}) log.append(rx("l", t), "");  // the 5 is trimmed
  EXPECT_EQ(log.first_at_or_after(20), 2u);
  EXPECT_EQ(log.first_at_or_after(11), 2u);
  EXPECT_EQ(log.first_at_or_after(0), 1u);
  EXPECT_EQ(log.first_at_or_after(31), log.end_absolute());

  std::vector<uint64_t> seen;
  log.for_each_from(0, [&](uint64_t a, const LineRecord&) { seen.push_back(a); });
  EXPECT_EQ(seen, (Numbers{1, 2, 3, 4}));
  seen.clear();
  log.for_each_from(3, [&](uint64_t a, const LineRecord& r) {
    seen.push_back(a);
    EXPECT_EQ(&r, log.find(a));
  });
  EXPECT_EQ(seen, (Numbers{3, 4}));
  EXPECT_EQ(log.find(0), nullptr);
  EXPECT_EQ(log.find(5), nullptr);
}

}  // namespace
}  // namespace lw
