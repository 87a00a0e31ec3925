// Cutting a file into what is written at a time, and the Sent lines it
// leaves: as it is, line by line with the tab's ending, with a pause between
// lines, and binary files.
#include "send/file_send.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lw {
namespace {

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

struct Taken {
  std::string wire;
  std::vector<std::pair<std::string, LineEnding>> sent;
  int pieces = 0;
};

// Takes everything with `room` bytes each time and nothing in flight.
Taken take_all(FileSend& f, uint64_t room, int64_t now = 0) {
  Taken t;
  for (int i = 0; i < 100'000 && !f.all_queued(); ++i) {
    std::optional<FilePiece> p = f.take(room, true, now, 1000);
    if (!p) {
      ++now;
      continue;
    }
    ++t.pieces;
    EXPECT_TRUE(p->bytes.size() <= room || p->sent.size() == 1);
    t.wire += std::string(p->bytes.view());
    for (const LineRecord& r : p->sent) {
      EXPECT_EQ(r.direction, Direction::Sent);
      EXPECT_EQ(r.time, 1000);
      t.sent.emplace_back(std::string(r.bytes.view()), r.ending);
    }
  }
  return t;
}

TEST(FileSend, TextAsItIsGoesByteForByteAndLogsEachLineWithItsOwnEnd) {
  const std::string file = "*RST\r\nMEAS?\n\nCONF\rlast";
  FileSend f(bytes(file), {});
  EXPECT_FALSE(f.binary());
  EXPECT_EQ(f.total(), file.size());
  const Taken t = take_all(f, 4096);
  EXPECT_EQ(t.wire, file);
  EXPECT_EQ(t.pieces, 1);
  using E = LineEnding;
  const std::vector<std::pair<std::string, LineEnding>> expected = {
      {"*RST", E::CrLf}, {"MEAS?", E::Lf}, {"", E::Lf}, {"CONF", E::Cr}, {"last", E::None}};
  EXPECT_EQ(t.sent, expected);
}

TEST(FileSend, LineByLineTakesTheChosenEnding) {
  FileSend f(bytes("a\r\nb\n\nc"), {true, EndingChoice::CrLf, 0});
  EXPECT_EQ(f.total(), 4u * 2 + 3);
  const Taken t = take_all(f, 4096);
  EXPECT_EQ(t.wire, "a\r\nb\r\n\r\nc\r\n");
  ASSERT_EQ(t.sent.size(), 4u);
  for (const auto& [text, ending] : t.sent) EXPECT_EQ(ending, LineEnding::CrLf) << text;
  EXPECT_EQ(t.sent[2].first, "");

  FileSend none(bytes("a\nb\n"), {true, EndingChoice::None, 0});
  EXPECT_EQ(take_all(none, 4096).wire, "ab");
}

TEST(FileSend, PiecesFitTheRoomAndALongLineGoesAloneWhenNothingIsInFlight) {
  const std::string file = "12345\n" + std::string(50, 'x') + "\n12\n";
  FileSend f(bytes(file), {});
  // Nothing fits while the port is busy.
  EXPECT_FALSE(f.take(0, false, 0, 0));
  EXPECT_FALSE(f.take(3, false, 0, 0));
  const Taken t = take_all(f, 10);
  EXPECT_EQ(t.wire, file);
  EXPECT_EQ(t.pieces, 3);  // "12345\n", the long line alone, "12\n"
}

TEST(FileSend, APauseSendsOneLineAtATime) {
  FileSend f(bytes("a\nb\nc\n"), {true, EndingChoice::Lf, 100});
  ASSERT_TRUE(f.take(4096, true, 1000, 0));
  EXPECT_FALSE(f.take(4096, true, 1099, 0));
  std::optional<FilePiece> second = f.take(4096, true, 1100, 0);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->bytes.view(), "b\n");
  ASSERT_TRUE(f.take(4096, true, 1200, 0));
  EXPECT_TRUE(f.all_queued());
  EXPECT_FALSE(f.take(4096, true, 5000, 0));
}

TEST(FileSend, BinaryFilesGoInChunksWithoutLines) {
  std::string file;
  for (int i = 0; i < 1000; ++i) file += static_cast<char>(i % 256);
  FileSend f(bytes(file), {true, EndingChoice::CrLf, 500});  // line options mean nothing here
  EXPECT_TRUE(f.binary());
  EXPECT_EQ(f.total(), 1000u);
  const Taken t = take_all(f, 256);
  EXPECT_EQ(t.wire, file);
  EXPECT_EQ(t.pieces, 4);
  EXPECT_TRUE(t.sent.empty());
}

TEST(FileSend, WhatCountsAsBinary) {
  struct Case {
    std::string bytes;
    bool binary;
  };
  const std::vector<Case> cases = {
      {"plain text\r\n\ttabbed\f\v\x1B[0m", false},
      {"\xB0\xA1 \xC3\xA9 \xFF", false},  // other encodings are text
      {std::string("a\0b", 3), true},
      {"\x01", true},
      {"\x1A", true},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(looks_binary(bytes(c.bytes)), c.binary) << c.bytes;
  FileSend empty(bytes(""), {});
  EXPECT_TRUE(empty.all_queued());
  EXPECT_FALSE(empty.take(4096, true, 0, 0));
}

}  // namespace
}  // namespace lw
