// The one table of platform words: Windows keeps the specified texts, Linux
// names what its users know, and both sides are in every language.
#include "lang/platform_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "lang/tables.h"
#include "lang/tr.h"
#include "listed_keys.h"
#include "support/memory_settings.h"

namespace lw::test {
namespace {

std::multiset<std::string> placeholders(std::string_view text) {
  static const std::regex ph(R"(\{\d+\})");
  std::multiset<std::string> out;
  const std::string s(text);
  for (auto it = std::sregex_iterator(s.begin(), s.end(), ph); it != std::sregex_iterator(); ++it)
    out.insert(it->str());
  return out;
}

TEST(PlatformWords, BothSidesOfEveryPairAreInEveryTable) {
  std::vector<Translations> tables;
  for (const EmbeddedTable& t : embedded_tables()) tables.push_back(*parse_table(t.json));
  std::set<PlatformText> seen;
  for (const PlatformWording& w : kPlatformWords) {
    EXPECT_TRUE(seen.insert(w.which).second) << "twice: " << w.on_windows.english;
    for (const Wording& side : {w.on_windows, w.on_linux}) {
      SCOPED_TRACE(std::string(side.english));
      EXPECT_FALSE(side.korean.empty());
      EXPECT_EQ(placeholders(side.korean), placeholders(side.english));
      for (const Translations& t : tables) EXPECT_TRUE(t.contains(side.english));
    }
    EXPECT_NE(w.on_windows.english, w.on_linux.english);
  }
}

TEST(PlatformWords, WindowsKeepsTheListedTextsAndLinuxNamesNothingOfWindows) {
  for (const PlatformWording& w : kPlatformWords) {
    const std::string_view win = w.on_windows.english;
    const std::string_view lin = w.on_linux.english;
    if (w.which != PlatformText::address_hint) {
      EXPECT_NE(std::find(kListedKeys.begin(), kListedKeys.end(), win), kListedKeys.end()) << win;
    }
    for (std::string_view windows_only : {"COM", "Windows", "Documents\\", " PC"}) {
      EXPECT_EQ(lin.find(windows_only), std::string_view::npos) << lin;
    }
    // Where Windows names Documents\Linewick, Linux names the real folder.
    const bool names_folder = win.find("Documents\\Linewick") != std::string_view::npos;
    EXPECT_EQ(placeholders(lin).count("{0}"), names_folder ? 1u : 0u) << lin;
  }
}

class PlatformTr : public testing::Test {
 protected:
  void SetUp() override { reset_language_for_testing(); }
  void TearDown() override { reset_language_for_testing(); }
  void use(std::string_view language) {
    store_.set_text("Language", language, {});
    set_language_store(store_);
  }
  MemorySettings store_;
};

TEST_F(PlatformTr, ThisBuildsSideInTheInterfaceLanguage) {
  use("de");
  EXPECT_EQ(platform_tr(PlatformText::ports_heading), kLinuxWords ? "Serielle Ports" : "COM-Ports");
  EXPECT_EQ(fill(platform_tr(PlatformText::open_log_folder), {"~/Dokumente/Linewick"}),
            kLinuxWords ? "Protokollordner öffnen (~/Dokumente/Linewick)"
                        : "Protokollordner öffnen (Documents\\Linewick)");
}

TEST_F(PlatformTr, KoreanAndEnglishFromTheTable) {
  use("ko");
  EXPECT_EQ(platform_tr(PlatformText::follow_system),
            kLinuxWords ? "시스템 설정 따르기" : "Windows 설정 따르기");
  reset_language_for_testing();
  use("en");
  EXPECT_EQ(platform_tr(PlatformText::no_ports), kLinuxWords ? "No serial ports" : "No COM ports");
}

}  // namespace
}  // namespace lw::test
