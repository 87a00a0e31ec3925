// The settings file: its text form, atomic replacement and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "settings/settings_file.h"
#include "settings/settings_text.h"
#include "settings/values.h"
#include "store_fixture.h"

namespace lw::test {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::string bytes;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  return bytes;
}

void write_file(const fs::path& p, std::string_view bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SettingsText, RoundTripsAwkwardNamesAndValues) {
  StoreData data;
  const std::vector<std::pair<std::string, std::string>> awkward = {
      {"a=b", "x=y"},
      {"[Devices]", "[Devices]"},
      {"#not a comment", "#still text"},
      {"back\\slash", "C:\\Users\\\\x"},
      {"line\nbreak", "cr\r\nlf\ttab"},
      {"", "empty name"},
      {"ctl\x01\x7f", std::string("nul\0in", 6)},
      {"한글 이름", "値 ✓"},
      {"trailing\\", "trailing\\"},
  };
  for (const auto& [name, value] : awkward) data.set("", name, value);
  data.set("Devices", "2341:0043:SER 1", std::string("9600,8,N,1,1,1"));
  data.set("sub]key\\", "n", uint32_t{4294967295u});
  data.set("", "Placement", std::vector<uint8_t>{0x00, 0xAB, 0xFF});

  const std::string text = format_store(data);
  const ParsedStore back = parse_store(text);
  EXPECT_FALSE(back.damaged) << text;
  for (const auto& [name, value] : awkward) {
    const StoredValue* v = back.data.find("", name);
    ASSERT_NE(v, nullptr) << name;
    EXPECT_EQ(std::get<std::string>(*v), value) << name;
  }
  ASSERT_NE(back.data.find("Devices", "2341:0043:SER 1"), nullptr);
  EXPECT_EQ(std::get<uint32_t>(*back.data.find("sub]key\\", "n")), 4294967295u);
  EXPECT_EQ(std::get<std::vector<uint8_t>>(*back.data.find("", "Placement")),
            (std::vector<uint8_t>{0x00, 0xAB, 0xFF}));
  EXPECT_EQ(format_store(back.data), text);
}

TEST(SettingsText, ReadsAHandEditedFile) {
  const ParsedStore p = parse_store(
      "\xEF\xBB\xBF# edited by hand\r\n"
      "AutoOpen=dword:1\r\n"
      "\r\n"
      "[Linewick]\r\n"
      "CutKeep=dword:30\r\n"
      "CutKeep=dword:60\r\n"
      "Placement=binary:0aFF\r\n"
      "[Devices]\r\n"
      "COM7=text:300,5,S,2,0,0\r\n");
  EXPECT_FALSE(p.damaged);
  EXPECT_EQ(std::get<uint32_t>(*p.data.find("", "AutoOpen")), 1u);
  EXPECT_EQ(std::get<uint32_t>(*p.data.find("", "CutKeep")), 60u);  // the last line wins
  EXPECT_EQ(std::get<std::vector<uint8_t>>(*p.data.find("", "Placement")),
            (std::vector<uint8_t>{0x0A, 0xFF}));
  EXPECT_EQ(std::get<std::string>(*p.data.find("Devices", "COM7")), "300,5,S,2,0,0");
  EXPECT_EQ(p.data.find("", "COM7"), nullptr);
}

TEST(SettingsText, UnreadableLinesAreSkippedAndReported) {
  const char* bad_lines[] = {
      "NoSeparator\n",  "X=dword:\n",    "X=dword:4294967296\n", "X=dword:-1\n",
      "X=dword: 1\n",   "X=qword:1\n",   "X=text:bad\\q\n",      "X=text:\\x4\n",
      "X=binary:abc\n", "X=binary:zz\n", "X=text:\xC3\n",        "[Open\n",
      "X=dword:6",  // no LF: the file was cut short here
  };
  for (const char* bad : bad_lines) {
    const ParsedStore p = parse_store(std::string("Before=dword:1\n") + bad);
    EXPECT_TRUE(p.damaged) << bad;
    EXPECT_EQ(p.data.find("", "X"), nullptr) << bad;
    ASSERT_NE(p.data.find("", "Before"), nullptr) << bad;
  }
  // Values after a broken header have no known section and are dropped.
  const ParsedStore p = parse_store("[Dev\\]\nCOM7=text:x\n[Devices]\nCOM8=text:y\n");
  EXPECT_TRUE(p.damaged);
  EXPECT_EQ(p.data.find("Devices", "COM7"), nullptr);
  EXPECT_EQ(p.data.find("", "COM7"), nullptr);
  EXPECT_NE(p.data.find("Devices", "COM8"), nullptr);
}

class FileStoreTest : public testing::Test {
 protected:
  fs::path folder() const { return temp_.path() / "Linewick"; }
  fs::path file() const { return folder() / "settings.conf"; }
  TempFolder temp_;
  FileSettings store_{temp_.path() / "Linewick"};
};

TEST_F(FileStoreTest, EachWriteReplacesTheWholeFile) {
  EXPECT_FALSE(fs::exists(folder()));  // a fresh user has nothing
  set_cut_keep(store_, 1000);
  store_.set_text("COM3", "9600,8,N,1,1,1", kDevicesSubkey);
  EXPECT_EQ(read_file(file()),
            "# Linewick settings\n[Linewick]\nCutKeep=dword:1000\n"
            "[Devices]\nCOM3=text:9600,8,N,1,1,1\n");
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{"settings.conf"});  // no temporary left
}

TEST_F(FileStoreTest, FileCutShortKeepsWhatCouldBeReadAndTheNextWriteKeepsIt) {
  set_stamp_mode(store_, 2);
  set_cut_keep(store_, 60);
  store_.set_text("2341:0043", "115200,8,N,1,1,1", kDevicesSubkey);
  const std::string whole = read_file(file());
  const size_t cut = whole.find("CutKeep=dword:6") + std::string_view("CutKeep=dword:6").size();
  write_file(file(), whole.substr(0, cut));  // CutKeep=dword:6|0 ...

  EXPECT_EQ(stamp_mode(store_), 2u);  // before the cut: still read
  EXPECT_EQ(cut_keep(store_), 5u);    // cut mid-line: the default, never 6
  EXPECT_FALSE(store_.get_text("2341:0043", kDevicesSubkey));

  set_send_ending(store_, 0);
  EXPECT_EQ(stamp_mode(store_), 2u);
  EXPECT_EQ(send_ending(store_), 0u);
  EXPECT_EQ(cut_keep(store_), 5u);
  // The damaged file was kept beside the new one before it was replaced.
  EXPECT_EQ(read_file(folder() / "settings.conf.damaged-1"), whole.substr(0, cut));
  const ParsedStore now = parse_store(read_file(file()));
  EXPECT_FALSE(now.damaged);

  // Once whole again, writes make no more copies.
  set_send_ending(store_, 2);
  EXPECT_EQ(names_in(folder()),
            (std::vector<std::string>{"settings.conf", "settings.conf.damaged-1"}));
}

TEST_F(FileStoreTest, GarbageReadsAsDefaultsAndIsSetAsideBeforeAWrite) {
  static constexpr char kJunk[] = "\x00\xFF\x13garbage\nwithout=structure\n\xFE";
  const std::string junk(kJunk, sizeof kJunk - 1);
  write_file(file(), junk);
  write_file(folder() / "settings.conf.damaged-1", "older copy");
  EXPECT_FALSE(auto_open(store_));
  EXPECT_TRUE(auto_reconnect(store_));

  toggle(store_, setting::kAutoOpen);
  EXPECT_TRUE(auto_open(store_));
  EXPECT_EQ(read_file(folder() / "settings.conf.damaged-1"), "older copy");
  EXPECT_EQ(read_file(folder() / "settings.conf.damaged-2"), junk);
  EXPECT_EQ(read_file(file()), "# Linewick settings\n[Linewick]\nAutoOpen=dword:1\n");
}

TEST_F(FileStoreTest, AnUnreadableFileIsMovedAsideNotOverwritten) {
  // A folder where the file should be cannot be read as a file.
  fs::create_directories(file() / "inside");
  EXPECT_EQ(cut_keep(store_), 5u);
  set_cut_keep(store_, 10);
  EXPECT_EQ(cut_keep(store_), 10u);
  EXPECT_TRUE(fs::is_directory(folder() / "settings.conf.damaged-1" / "inside"));
}

TEST_F(FileStoreTest, ForgetAllRemovesCopiesAndTheFolderButNothingElse) {
  write_file(file(), "broken");
  set_cut_keep(store_, 2);  // makes settings.conf.damaged-1
  write_file(folder() / "settings.conf.tmp-1", "left by a crash");
  store_.forget_all();
  EXPECT_FALSE(fs::exists(folder()));
  EXPECT_EQ(cut_keep(store_), 5u);

  set_cut_keep(store_, 2);
  write_file(folder() / "notes.txt", "someone else's");
  store_.forget_all();
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{"notes.txt"});
}

TEST(FileStoreWithoutPlace, ReadsNothingAndWritesNowhere) {
  FileSettings store{fs::path()};
  store.set_dword(setting::kAutoOpen, 1);
  EXPECT_FALSE(store.get_dword(setting::kAutoOpen));
  store.forget_all();
}

#ifndef _WIN32
class DefaultFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
      const char* v = std::getenv(name);
      saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(DefaultFolderTest, FollowsXdgConfigHomeElseHome) {
  setenv("HOME", "/home/ada", 1);
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(default_settings_folder(), fs::path("/cfg/Linewick"));
  setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
  EXPECT_EQ(default_settings_folder(), fs::path("/home/ada/.config/Linewick"));
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(default_settings_folder(), fs::path("/home/ada/.config/Linewick"));
}
#endif

}  // namespace
}  // namespace lw::test
