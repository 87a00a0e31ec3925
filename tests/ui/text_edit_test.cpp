#include "ui/text_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "gfx/gfx_recording.h"
#include "gfx/icons.h"
#include "gfx/palette.h"
#include "ui/app_fixture.h"
#include "ui/readable.h"
#include "ui/shapes.h"

namespace lw::test {
namespace {

TextInput field(std::u32string text, size_t caret, size_t anchor) {
  TextInput f;
  f.text = std::move(text);
  f.caret = caret;
  f.anchor = anchor;
  return f;
}

TextInput field(std::u32string text, size_t caret) { return field(std::move(text), caret, caret); }

TextInput composing(std::u32string text, size_t caret, std::u32string composition) {
  TextInput f = field(std::move(text), caret);
  f.composition = std::move(composition);
  return f;
}

std::string utf8(const std::u32string& s) { return utf8_from_utf32(s); }

using Edit = std::function<void(TextInput&)>;

TEST(TextEdit, Moving) {
  struct Case {
    const char* what;
    TextInput before;
    Edit edit;
    size_t caret;
    size_t anchor;
  };
  const auto left = [](bool word, bool extend) {
    return [=](TextInput& f) { move_left(f, word, extend); };
  };
  const auto right = [](bool word, bool extend) {
    return [=](TextInput& f) { move_right(f, word, extend); };
  };
  const Case cases[] = {
      {"Left collapses a selection to its start", field(U"abcdefg", 5, 2), left(false, false), 2,
       2},
      {"caret at the start", field(U"abcdefg", 2, 5), left(false, false), 2, 2},
      {"Ctrl+Left collapses too", field(U"abcdefg", 5, 2), left(true, false), 2, 2},
      {"Right collapses to the end", field(U"abcdefg", 2, 5), right(false, false), 5, 5},
      {"Shift+Left extends", field(U"abcdefg", 5, 2), left(false, true), 4, 2},
      {"Shift+Right extends", field(U"abcdefg", 5, 2), right(false, true), 6, 2},
      {"Left at 0 stays", field(U"abc", 0), left(false, false), 0, 0},
      {"Right at the end stays", field(U"abc", 3), right(false, false), 3, 3},
      {"Ctrl+Left to the word's start", field(U"alpha  beta", 11), left(true, false), 7, 7},
      {"Ctrl+Left over spaces", field(U"alpha  beta", 7), left(true, false), 0, 0},
      {"Ctrl+Left inside a word", field(U"alpha  beta", 9), left(true, false), 7, 7},
      {"Ctrl+Right to the next word", field(U"alpha  beta", 0), right(true, false), 7, 7},
      {"Ctrl+Right to the end", field(U"alpha  beta", 7), right(true, false), 11, 11},
      {"Ctrl+Shift+Right", field(U"alpha  beta", 0), right(true, true), 7, 0},
      {"tab and ideographic space are white space", field(U"a\t\u3000b", 0), right(true, false), 3,
       3},
      {"no-break space is white space", field(U"a\u00A0b", 3), left(true, false), 2, 2},
      {"Home", field(U"abc", 2), [](TextInput& f) { move_home(f, false); }, 0, 0},
      {"Shift+Home", field(U"abc", 2), [](TextInput& f) { move_home(f, true); }, 0, 2},
      {"End", field(U"abc", 1), [](TextInput& f) { move_end(f, false); }, 3, 3},
      {"Shift+End", field(U"abc", 1), [](TextInput& f) { move_end(f, true); }, 3, 1},
      {"Shift+End keeps an earlier anchor", field(U"abcde", 1, 4),
       [](TextInput& f) { move_end(f, true); }, 5, 4},
  };
  for (const Case& c : cases) {
    TextInput f = c.before;
    c.edit(f);
    EXPECT_EQ(f.caret, c.caret) << c.what;
    EXPECT_EQ(f.anchor, c.anchor) << c.what;
    EXPECT_EQ(f.text, c.before.text) << c.what;
  }
}

TEST(TextEdit, Deleting) {
  struct Case {
    const char* what;
    TextInput before;
    Edit edit;
    std::u32string text;
    size_t caret;
  };
  const auto back = [](bool word) { return [=](TextInput& f) { delete_backward(f, word); }; };
  const auto del = [](bool word) { return [=](TextInput& f) { delete_forward(f, word); }; };
  const Case cases[] = {
      {"Backspace", field(U"abc", 2), back(false), U"ac", 1},
      {"Backspace at 0", field(U"abc", 0), back(false), U"abc", 0},
      {"Delete", field(U"abc", 1), del(false), U"ac", 1},
      {"Delete at the end", field(U"abc", 3), del(false), U"abc", 3},
      {"Backspace deletes the selection", field(U"abcdef", 1, 4), back(false), U"aef", 1},
      {"Ctrl+Backspace deletes only the selection", field(U"ab cd ef", 7, 4), back(true), U"ab cf",
       4},
      {"Delete deletes the selection", field(U"abcdef", 4, 1), del(true), U"aef", 1},
      {"Ctrl+Delete: word and spaces", field(U"alpha  beta", 0), del(true), U"beta", 0},
      {"Ctrl+Delete: spaces only", field(U"alpha  beta", 5), del(true), U"alphabeta", 5},
      {"Ctrl+Delete: rest of the word", field(U"alpha  beta", 9), del(true), U"alpha  be", 9},
      {"Ctrl+Backspace inside a word", field(U"alpha  beta", 9), back(true), U"alpha  ta", 7},
  };
  for (const Case& c : cases) {
    TextInput f = c.before;
    c.edit(f);
    EXPECT_EQ(utf8(f.text), utf8(c.text)) << c.what;
    EXPECT_EQ(f.caret, c.caret) << c.what;
    EXPECT_EQ(f.anchor, c.caret) << c.what;
  }
}

TEST(TextEdit, CtrlBackspaceTwiceOverTwoSpaces) {
  TextInput f;
  f.set_text(U"alpha  beta");
  delete_backward(f, true);
  EXPECT_EQ(utf8(f.text), "alpha  ");
  EXPECT_EQ(f.caret, 7u);
  delete_backward(f, true);
  EXPECT_EQ(utf8(f.text), "");
  EXPECT_EQ(f.caret, 0u);
}

TEST(TextEdit, InsertReplacesTheSelectionAndBlanksControls) {
  TextInput f = field(U"hello world", 0, 5);
  insert(f, U"HEY");
  EXPECT_EQ(utf8(f.text), "HEY world");
  EXPECT_EQ(f.caret, 3u);
  EXPECT_EQ(f.anchor, 3u);

  TextInput g = field(U"[]", 1);
  insert(g, U"a\tb\u007F\u0085\u009F\u00A0c\n");
  EXPECT_EQ(utf8(g.text), "[a b   \u00A0c ]");
  EXPECT_EQ(g.caret, 10u);
}

TEST(TextEdit, SelectionCopyAndClear) {
  TextInput f = field(U"a한😀b", 3, 1);
  EXPECT_EQ(utf8(selected_text(f)), "한😀");
  EXPECT_EQ(selected_utf8(f), "한😀");
  select_all(f);
  EXPECT_EQ(f.anchor, 0u);
  EXPECT_EQ(f.caret, 4u);
  f.composition.push_back(U'x');
  clear(f);
  EXPECT_TRUE(f.empty());
  EXPECT_EQ(f.caret, 0u);
  EXPECT_EQ(f.anchor, 0u);
}

// Units typed one by one through the assembler into a field of that kind.
std::u32string typed(std::initializer_list<char16_t> units, FieldKind kind = FieldKind::send) {
  TextInput f;
  Utf16Assembler in;
  for (char16_t u : units) {
    if (const std::optional<char32_t> c = in.feed(u)) type_char(f, kind, *c);
  }
  return f.text;
}

TEST(TextEdit, TypedCharacters) {
  struct Case {
    const char* what;
    std::u32string got;
    std::u32string want;
  };
  const Case cases[] = {
      {"surrogate pair", typed({u'a', 0xD83D, 0xDE00, u'b'}), U"a😀b"},
      {"lone low surrogate", typed({0xDE00, u'a'}), U"a"},
      {"high surrogate then a letter", typed({0xD83D, u'a'}), U"a"},
      {"second high replaces the first", typed({0xD83D, 0xD83D, 0xDE00}), U"😀"},
      {"high surrogate at the end", typed({u'a', 0xD83D}), U"a"},
      {"tab, CR, DEL and C1 ignored", typed({u'\t', u'x', u'\r', 0x7F, 0x85, u'y'}), U"xy"},
      {"baud field takes digits only", typed({u'1', u'x', u' ', u'2', 0xFF11}, FieldKind::baud),
       U"12"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8(c.got), utf8(c.want)) << c.what;

  TextInput f;
  EXPECT_FALSE(type_char(f, FieldKind::search, U'\t'));
  EXPECT_FALSE(type_char(f, FieldKind::baud, U'a'));
  EXPECT_FALSE(type_char(f, FieldKind::send, 0xD800));
  EXPECT_TRUE(type_char(f, FieldKind::baud, U'7'));
  EXPECT_EQ(utf8(f.text), "7");
}

TEST(TextEdit, AnEmojiIsOneCharacter) {
  TextInput f;
  Utf16Assembler in;
  EXPECT_FALSE(in.feed(0xD83D).has_value());
  const std::optional<char32_t> c = in.feed(0xDE00);
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(*c, U'😀');
  type_char(f, FieldKind::send, *c);
  type_char(f, FieldKind::send, U'x');
  EXPECT_EQ(f.text.size(), 2u);
  move_left(f, false, false);
  move_left(f, false, false);
  EXPECT_EQ(f.caret, 0u);
  move_right(f, false, true);
  EXPECT_EQ(selected_utf8(f), "😀");
}

TEST(TextEdit, PasteText) {
  struct Case {
    const char* what;
    std::string clipboard;
    FieldKind kind;
    std::u32string inserted;  // after the insertion rules
  };
  const Case cases[] = {
      {"first line only", "a\r\nb", FieldKind::send, U"a"},
      {"LF alone ends the line", "one\ntwo", FieldKind::search, U"one"},
      {"only a trailing CR is dropped", "a\rb\r", FieldKind::send, U"a b"},
      {"baud keeps digits", "9a6b0c0 baud", FieldKind::baud, U"9600"},
      {"baud: first line, then digits", "115 200\r\n9600", FieldKind::baud, U"115200"},
      {"a tab becomes a space", "x\ty", FieldKind::send, U"x y"},
      {"stops at NUL", std::string("ab\0cd", 5), FieldKind::dialog, U"ab"},
      {"invalid bytes replaced",
       "a\xFF"
       "b",
       FieldKind::send, U"a\uFFFDb"},
      {"empty", "", FieldKind::send, U""},
  };
  for (const Case& c : cases) {
    TextInput f;
    insert(f, paste_text(c.clipboard, c.kind));
    EXPECT_EQ(utf8(f.text), utf8(c.inserted)) << c.what;
  }
  EXPECT_EQ(utf8(paste_text("x\ty", FieldKind::send)), "x\ty");  // blanked by insert
}

TEST(TextEdit, PasteReadsAtMostAMebiUnitOfUtf16) {
  constexpr size_t kLimit = 1'048'576;
  EXPECT_EQ(paste_text(std::string(kLimit + 5, 'x'), FieldKind::send).size(), kLimit);
  // A character of two units that would end past the limit is left out.
  const std::u32string tail = paste_text(std::string(kLimit - 1, 'x') + "😀", FieldKind::send);
  EXPECT_EQ(tail.size(), kLimit - 1);
  EXPECT_EQ(tail.back(), U'x');
}

TEST(TextEdit, Composition) {
  TextInput f = field(U"abXYcd", 4, 2);
  set_composition(f, U"ㅎ");
  EXPECT_EQ(utf8(f.text), "abcd");  // the selection went first
  EXPECT_EQ(f.caret, 2u);
  EXPECT_EQ(utf8(display_text(f)), "abㅎcd");
  EXPECT_EQ(display_caret(f), 3u);
  set_composition(f, U"한");
  EXPECT_EQ(utf8(display_text(f)), "ab한cd");
  commit_composition(f, U"한");
  EXPECT_TRUE(f.composition.empty());
  EXPECT_EQ(utf8(f.text), "ab한cd");
  EXPECT_EQ(f.caret, 3u);
  EXPECT_EQ(f.anchor, 3u);
  set_composition(f, U"x");
  set_composition(f, U"");  // cancelled
  EXPECT_EQ(utf8(display_text(f)), "ab한cd");
  EXPECT_FALSE(f.has_selection());
}

constexpr Rect kSend{100, 10, 300, 32};  // text from 112, 278 wide

TEST(TextEdit, CaretIndexAtAClick) {
  RecordingGfx gfx;  // 7 px per character
  struct Case {
    const char* what;
    TextInput f;
    FieldKind kind;
    Rect widget;
    float x;
    size_t index;
  };
  const std::u32string long_text(60, U'x');  // 420 wide: scrolled 144 with the caret at the end
  const Case cases[] = {
      {"rounds down", field(U"hello", 0), FieldKind::send, kSend, 112 + 17, 2},
      {"rounds up", field(U"hello", 0), FieldKind::send, kSend, 112 + 18, 3},
      {"left of the text", field(U"hello", 3), FieldKind::send, kSend, 101, 0},
      {"right of the text", field(U"hello", 0), FieldKind::send, kSend, 390, 5},
      {"search field's inset", field(U"hello", 0), FieldKind::search, kSend, 132 + 14, 2},
      {"scrolled", field(long_text, 60), FieldKind::send, kSend, 112, 21},
      // Drawn "abXYcd".
      {"inside the composition", composing(U"abcd", 2, U"XY"), FieldKind::send, kSend, 112 + 21, 2},
      {"after the composition", composing(U"abcd", 2, U"XY"), FieldKind::send, kSend, 112 + 35, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(caret_index_at(c.f, c.kind, c.widget, gfx, c.x), c.index) << c.what;
  }
  RecordingGfx scaled(2);  // 14 px per character, insets doubled
  EXPECT_EQ(
      caret_index_at(field(U"hello", 0), FieldKind::send, {200, 20, 600, 64}, scaled, 224 + 28),
      2u);
}

TEST(TextEdit, ImePointFollowsTheCaret) {
  RecordingGfx gfx;
  EXPECT_EQ(ime_point(field(U"hello", 5), FieldKind::send, kSend, gfx), (Point{112 + 35, 14}));
  EXPECT_EQ(ime_point(field(U"hello", 1), FieldKind::search, kSend, gfx), (Point{132 + 7, 14}));
  // Scrolled: the caret keeps 2 pixels to the text rectangle's right edge.
  const TextInput scrolled = field(std::u32string(60, U'x'), 60);
  EXPECT_EQ(ime_point(scrolled, FieldKind::send, kSend, gfx), (Point{112 + 278 - 2, 14}));
  // After the composition, where the input method's own caret is.
  EXPECT_EQ(ime_point(composing(U"abcd", 2, U"XY"), FieldKind::send, kSend, gfx),
            (Point{112 + 28, 14}));
  RecordingGfx scaled(2);
  EXPECT_EQ(ime_point(field(U"hello", 5), FieldKind::send, {200, 20, 600, 64}, scaled),
            (Point{224 + 70, 28}));
}

// The field drawing, on a whole frame.
using FieldPaint = AppFixture;

std::vector<DrawCall> calls_in(const RecordingGfx& gfx, DrawKind kind, const Rect& r) {
  std::vector<DrawCall> out;
  for (const DrawCall& c : gfx.calls_of(kind)) {
    if (c.rect.x >= r.x - 1 && c.rect.right() <= r.right() + 1 && c.rect.y >= r.y - 1 &&
        c.rect.bottom() <= r.bottom() + 1) {
      out.push_back(c);
    }
  }
  return out;
}

TEST_F(FieldPaint, BackgroundBorderAndSearchIcons) {
  add_session("COM3");
  ui().search_field.set_utf8("err");
  paint();
  const Rect search = frame().find(cmd::search_field)->rect;
  const std::vector<DrawCall> faces = calls_in(gfx, DrawKind::fill_rounded_rect, search);
  ASSERT_FALSE(faces.empty());
  EXPECT_EQ(faces[0].rect, search);
  EXPECT_EQ(faces[0].radius, 7);
  EXPECT_EQ(faces[0].colour,
            over(light_palette[Pal::muted].with_opacity(0.08f), light_palette[Pal::background]));
  const std::vector<DrawCall> borders = calls_in(gfx, DrawKind::stroke_rounded_rect, search);
  ASSERT_EQ(borders.size(), 1u);
  EXPECT_EQ(borders[0].width, 1);
  EXPECT_EQ(borders[0].colour, light_palette[Pal::separator]);
  EXPECT_EQ(borders[0].rect, (Rect{search.x + 0.5f, search.y + 0.5f, search.w - 1, search.h - 1}));

  std::vector<DrawCall> icons_drawn = calls_in(gfx, DrawKind::icon, search);
  ASSERT_EQ(icons_drawn.size(), 2u);
  EXPECT_EQ(icons_drawn[0].text, icons::magnifier);
  EXPECT_FLOAT_EQ(icons_drawn[0].rect.x + icons_drawn[0].rect.w / 2, search.x + 17);
  EXPECT_FLOAT_EQ(icons_drawn[0].rect.w, 16);
  EXPECT_EQ(icons_drawn[1].text, icons::cross);
  EXPECT_FLOAT_EQ(icons_drawn[1].rect.x, search.right() - 26);
  EXPECT_FLOAT_EQ(icons_drawn[1].rect.w, 12);

  // Focused: the thicker accent border; hovering the cross marks it.
  ui().focus = Focus::search;
  ui().hover = {cmd::clear_search, 0};
  paint();
  const std::vector<DrawCall> focused = calls_in(gfx, DrawKind::stroke_rounded_rect, search);
  ASSERT_EQ(focused.size(), 1u);
  EXPECT_EQ(focused[0].width, 1.5f);
  EXPECT_EQ(focused[0].colour, light_palette[Pal::accent]);
  const std::vector<DrawCall> marks = calls_in(gfx, DrawKind::fill_circle, search);
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_FLOAT_EQ(marks[0].rect.x + marks[0].rect.w / 2, search.right() - 20);
  EXPECT_EQ(marks[0].colour, light_palette[Pal::muted].with_opacity(0.2f));
}

TEST_F(FieldPaint, PlaceholdersAndTheSendFieldsFace) {
  Session& s = add_session("COM3");
  paint();
  const Rect send = frame().find(cmd::send_field)->rect;
  EXPECT_EQ(calls_in(gfx, DrawKind::fill_rounded_rect, send)[0].colour, light_palette[Pal::log]);
  for (const auto& [text, field] :
       {std::pair{"Find (Ctrl+F)", cmd::search_field},
        std::pair{"Text to send · Enter sends · ↑↓ earlier ones", cmd::send_field}}) {
    const std::vector<DrawCall> shown = gfx.texts(text);
    ASSERT_EQ(shown.size(), 1u) << text;
    EXPECT_EQ(shown[0].format, TextFormat::normal);
    // Muted, and darkened as far as the field's face needs.
    const Color face =
        calls_in(gfx, DrawKind::fill_rounded_rect, frame().find(field)->rect)[0].colour;
    EXPECT_EQ(shown[0].colour, readable(light_palette[Pal::muted].with_opacity(0.85f), face))
        << text;
  }
  s.send.hex_mode = true;
  paint();
  EXPECT_TRUE(shows("Bytes to send (e.g. 48 65 6C 0D 0A) · Enter"));
}

TEST_F(FieldPaint, CompositionIsUnderlinedInsteadOfTheCaret) {
  Session& s = add_session("COM3");
  TextInput& f = ui().send_field(s.id);
  f.set_utf8("ab");
  ui().focus = Focus::send;
  paint();
  const Rect send = frame().find(cmd::send_field)->rect;
  const auto caret_bars = [&] {
    size_t n = 0;
    for (const DrawCall& c : calls_in(gfx, DrawKind::fill_rect, send)) {
      if (c.colour == light_palette[Pal::accent]) {
        EXPECT_FLOAT_EQ(c.rect.w, 1.5f);
        EXPECT_FLOAT_EQ(c.rect.y, send.y + 8);
        EXPECT_FLOAT_EQ(c.rect.bottom(), send.bottom() - 8);
        EXPECT_FLOAT_EQ(c.rect.x, std::round(send.x + 12 + 14));
        ++n;
      }
    }
    return n;
  };
  EXPECT_EQ(caret_bars(), 1u);

  set_composition(f, U"한");
  paint();
  EXPECT_TRUE(shows("ab한"));
  EXPECT_EQ(caret_bars(), 0u);
  bool underline = false;
  for (const DrawCall& c : calls_in(gfx, DrawKind::fill_rect, send)) {
    if (c.colour == light_palette[Pal::text]) {
      EXPECT_FLOAT_EQ(c.rect.x, send.x + 12 + 14);
      EXPECT_FLOAT_EQ(c.rect.w, 14);  // a wide character
      underline = true;
    }
  }
  EXPECT_TRUE(underline);
}

}  // namespace
}  // namespace lw::test
