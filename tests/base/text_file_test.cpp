#include "base/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace lw {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("lw-text-file-" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::string out(static_cast<size_t>(fs::file_size(p)), '\0');
    in.read(out.data(), static_cast<std::streamsize>(out.size()));
    return in ? out : std::string("(unreadable)");
  }
  // Every entry below dir, as paths relative to it.
  std::vector<std::string> entries() const {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir_)) {
      const std::u8string s = fs::relative(e.path(), dir_).generic_u8string();
      out.emplace_back(s.begin(), s.end());
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  fs::path dir_;
};

TEST_F(TextFileTest, WritesBomAndTextExactly) {
  const std::string text = "14:03:22.517  T=21.5\r\n온도\r\nlone LF\nno end";
  const fs::path p = dir_ / "a.txt";
  ASSERT_TRUE(write_text_file(p, text));
  EXPECT_EQ(read(p), "\xEF\xBB\xBF" + text);
  EXPECT_EQ(entries(), std::vector<std::string>{"a.txt"});  // no temporary left
}

TEST_F(TextFileTest, EmptyTextGivesTheBomAlone) {
  ASSERT_TRUE(write_text_file(dir_ / "e.txt", ""));
  EXPECT_EQ(read(dir_ / "e.txt"), "\xEF\xBB\xBF");
}

TEST_F(TextFileTest, CreatesParentFolders) {
  const fs::path p = dir_ / "Linewick" / "2026" / u8"포트 COM3.txt";
  ASSERT_TRUE(write_text_file(p, "x\r\n"));
  EXPECT_EQ(read(p), "\xEF\xBB\xBFx\r\n");
  EXPECT_EQ(entries(),
            (std::vector<std::string>{"Linewick", "Linewick/2026", "Linewick/2026/포트 COM3.txt"}));
}

TEST_F(TextFileTest, ReplacesAnExistingFileWhole) {
  const fs::path p = dir_ / "r.txt";
  ASSERT_TRUE(write_text_file(p, std::string(10000, 'a')));
  ASSERT_TRUE(write_text_file(p, "short"));
  EXPECT_EQ(read(p), "\xEF\xBB\xBFshort");
  EXPECT_EQ(entries(), std::vector<std::string>{"r.txt"});
}

TEST_F(TextFileTest, LargeText) {
  std::string text;
  for (int i = 0; text.size() < 3'000'000; ++i) text += "line " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(write_text_file(dir_ / "big.txt", text));
  EXPECT_EQ(read(dir_ / "big.txt"), "\xEF\xBB\xBF" + text);
}

TEST_F(TextFileTest, FolderUnderAFileFails) {
  { std::ofstream(dir_ / "plain") << "keep"; }
  const Status s = write_text_file(dir_ / "plain" / "sub" / "x.txt", "text");
  ASSERT_FALSE(s);
  EXPECT_NE(s.error().text.find("plain"), std::string::npos) << s.error().text;
  EXPECT_EQ(entries(), std::vector<std::string>{"plain"});
  EXPECT_EQ(read(dir_ / "plain"), "keep");
}

TEST_F(TextFileTest, TargetThatIsAFolderFailsAndLeavesNothing) {
  fs::create_directories(dir_ / "taken");
  const Status s = write_text_file(dir_ / "taken", "text");
  ASSERT_FALSE(s);
  EXPECT_FALSE(s.error().text.empty());
  EXPECT_EQ(entries(), std::vector<std::string>{"taken"});
}

}  // namespace
}  // namespace lw
