// tr, fill and the choice of the interface language.
#include "lang/tr.h"

#include <gtest/gtest.h>

#include <map>

#include "lang/languages.h"
#include "support/memory_settings.h"

namespace lw::test {
namespace {

// Each test chooses the language afresh from its own store.
class TrTest : public testing::Test {
 protected:
  void SetUp() override { reset_language_for_testing(); }
  void TearDown() override { reset_language_for_testing(); }
  void use_stored(std::string_view language) {
    store_.set_text("Language", language, {});
    set_language_store(store_);
  }
  MemorySettings store_;
};

TEST_F(TrTest, KoreanComesFromTheCodeNotFromATable) {
  use_stored("ko");
  EXPECT_EQ(tr("다시 연결", "Reconnect"), "다시 연결");
  EXPECT_EQ(tr("표에 없는 말", "Not in any table"), "표에 없는 말");
  EXPECT_EQ(current_language(), "ko");
}

TEST_F(TrTest, EnglishIsTheEnglishText) {
  use_stored("en");
  EXPECT_EQ(tr("다시 연결", "Reconnect"), "Reconnect");
}

TEST_F(TrTest, OtherLanguagesLookTheEnglishTextUp) {
  use_stored("de");
  EXPECT_EQ(tr("없음", "None"), "Keine");
  EXPECT_EQ(tr("연결 끊김", "disconnected"), "getrennt");
  EXPECT_EQ(tr("표에 없는 말", "Not in any table"), "Not in any table");
  EXPECT_EQ(tr("없음", "none"), "none");  // exact, case-sensitive
  EXPECT_EQ(fill(tr("{0} · {1} 연결됨", "{0} · {1} is connected"), {"COM3", "USB Serial Device"}),
            "COM3 · USB Serial Device ist verbunden");
  EXPECT_EQ(maker_web_page(), "https://hollent.com/de/");
}

TEST_F(TrTest, EveryTableLanguageTranslates) {
  const std::map<std::string_view, std::string_view> reconnect = {
      {"ja", "再接続"}, {"de", "Neu verbinden"}, {"ru", "Переподключить"}};
  for (const Language& l : kLanguages) {
    reset_language_for_testing();
    use_stored(l.code);
    ASSERT_EQ(current_language(), l.code);
    const std::string text = tr("다시 연결", "Reconnect");
    if (l.code == "ko") {
      EXPECT_EQ(text, "다시 연결");
    } else if (l.code == "en") {
      EXPECT_EQ(text, "Reconnect");
    } else {
      EXPECT_NE(text, "Reconnect") << l.code;
      if (reconnect.contains(l.code)) {
        EXPECT_EQ(text, reconnect.at(l.code));
      }
    }
  }
}

TEST_F(TrTest, LanguageIsChosenOnceAtTheFirstText) {
  use_stored("ja");
  EXPECT_EQ(tr("없음", "None"), "なし");
  store_.set_text("Language", "ru", {});
  EXPECT_EQ(tr("없음", "None"), "なし");
  EXPECT_EQ(current_language(), "ja");
  EXPECT_EQ(store_.text_reads, 1);
}

TEST_F(TrTest, UnknownStoredTextsFollowTheSystem) {
  for (const char* stored : {"EN", "en-US", "", "zh", "KO"}) {
    reset_language_for_testing();
    use_stored(stored);
    EXPECT_EQ(current_language(), system_language()) << stored;
  }
  reset_language_for_testing();
  EXPECT_EQ(current_language(), system_language());  // no store at all
}

TEST(ChooseLanguage, StoredCodeWinsOnlyWhenExact) {
  EXPECT_EQ(choose_language("ko", "en"), "ko");
  EXPECT_EQ(choose_language("zh-Hant", "de"), "zh-Hant");
  EXPECT_EQ(choose_language("EN", "de"), "de");
  EXPECT_EQ(choose_language("en-US", "de"), "de");
  EXPECT_EQ(choose_language("zh-hans", "fr"), "fr");
  EXPECT_EQ(choose_language("", "ru"), "ru");
  EXPECT_TRUE(is_language_code("pt"));
  EXPECT_FALSE(is_language_code("pt-BR"));
}

TEST(ChooseLanguage, FromWindowsLanguageIdentifiers) {
  const std::pair<uint16_t, std::string_view> cases[] = {
      {0x0404, "zh-Hant"},  // Chinese (Taiwan)
      {0x0C04, "zh-Hant"},  // Chinese (Hong Kong)
      {0x0004, "zh-Hant"},  // Chinese, no region
      {0x0804, "zh-Hans"},  // Chinese (PRC)
      {0x1004, "zh-Hans"},  // Chinese (Singapore)
      {0x0416, "pt"},       // Portuguese (Brazil)
      {0x0816, "pt"},       // Portuguese (Portugal)
      {0x0410, "en"},       // Italian
      {0x0409, "en"},      {0x0809, "en"}, {0x0412, "ko"}, {0x0411, "ja"}, {0x0407, "de"},
      {0x0C07, "de"},      {0x0C0A, "es"}, {0x080A, "es"}, {0x040C, "fr"}, {0x0C0C, "fr"},
      {0x0419, "ru"},      {0x0000, "en"}, {0x0413, "en"},
  };
  for (const auto& [id, code] : cases) EXPECT_EQ(language_from_langid(id), code) << std::hex << id;
}

TEST(ChooseLanguage, FromLinuxLocaleNames) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"zh_CN.UTF-8", "zh-Hans"},
      {"zh_SG", "zh-Hans"},
      {"zh_TW.UTF-8", "zh-Hant"},
      {"zh_HK", "zh-Hant"},
      {"zh_MO.UTF-8@x", "zh-Hant"},
      {"zh-TW", "zh-Hant"},
      {"zh_Hans_HK", "zh-Hans"},
      {"zh", "zh-Hans"},
      {"ko_KR.UTF-8", "ko"},
      {"ko", "ko"},
      {"ja_JP.eucJP", "ja"},
      {"de_AT@euro", "de"},
      {"es_MX", "es"},
      {"fr_CA.UTF-8", "fr"},
      {"pt_BR", "pt"},
      {"ru_RU.KOI8-R", "ru"},
      {"it_IT.UTF-8", "en"},
      {"en_GB", "en"},
      {"C", "en"},
      {"C.UTF-8", "en"},
      {"POSIX", "en"},
      {"", "en"},
      {"kok_IN", "en"},
      {"DE_de", "de"},
  };
  for (const auto& [locale, code] : cases) EXPECT_EQ(language_from_locale(locale), code) << locale;
}

TEST(ChooseLanguage, LinuxEnvironmentOrder) {
  using Env = std::map<std::string, std::string>;
  const auto from = [](const Env& env) {
    return language_from_environment([&](const char* name) -> const char* {
      const auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    });
  };
  EXPECT_EQ(from({}), "en");
  EXPECT_EQ(from({{"LANG", "de_DE.UTF-8"}}), "de");
  EXPECT_EQ(from({{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_FR.UTF-8"}}), "fr");
  EXPECT_EQ(from({{"LANG", "de_DE"}, {"LC_MESSAGES", "fr_FR"}, {"LC_ALL", "ja_JP"}}), "ja");
  EXPECT_EQ(from({{"LC_ALL", "ja_JP"}, {"LANGUAGE", "pt_BR:ru"}}), "pt");
  EXPECT_EQ(from({{"LC_ALL", "ja_JP"}, {"LANGUAGE", ":ko"}}), "ko");
  EXPECT_EQ(from({{"LC_ALL", "ja_JP"}, {"LANGUAGE", ""}}), "ja");
  EXPECT_EQ(from({{"LC_ALL", ""}, {"LANG", "ru_RU.UTF-8"}}), "ru");
  EXPECT_EQ(from({{"LC_ALL", "C"}, {"LANG", "ru_RU.UTF-8"}}), "en");
  // Entries this program doesn't speak fall through to the next one.
  EXPECT_EQ(from({{"LANGUAGE", "it:de"}}), "de");
  EXPECT_EQ(from({{"LANGUAGE", "it_IT:kok:zh_TW.UTF-8:de"}, {"LANG", "ja_JP"}}), "zh-Hant");
  EXPECT_EQ(from({{"LANGUAGE", "en_GB:de"}, {"LANG", "ja_JP"}}), "en");
  EXPECT_EQ(from({{"LANGUAGE", "C:de"}}), "en");
  // None of them spoken: the locale decides.
  EXPECT_EQ(from({{"LANGUAGE", "it:nl"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "ja_JP"}}), "fr");
  EXPECT_EQ(from({{"LANGUAGE", "it"}}), "en");
}

TEST(Fill, ReplacesEachPlaceholderEverywhereInOrder) {
  EXPECT_EQ(fill("{0} · {1} is connected", {"COM3", "USB Serial Device"}),
            "COM3 · USB Serial Device is connected");
  EXPECT_EQ(fill("{0}, {0} and {0}", {"x"}), "x, x and x");
  EXPECT_EQ(fill("{1}{0}{1}", {"a", "b"}), "bab");
  EXPECT_EQ(fill("{0} and {1}", {"only"}), "only and {1}");  // no value: stays
  EXPECT_EQ(fill("{0}", {"{0}{0}"}), "{0}{0}");              // values go in unchanged
  // Later placeholders are replaced in the text produced so far.
  EXPECT_EQ(fill("{0} {1}", {"{1}", "x"}), "x x");
  EXPECT_EQ(fill("{10} {1}", {"a", "b"}), "{10} b");
  EXPECT_EQ(fill("no placeholders", {"a"}), "no placeholders");
  EXPECT_EQ(fill("{0}", {""}), "");
}

TEST(LanguageMenu, FollowFirstThenTheTenByNativeName) {
  const auto items = language_menu();
  EXPECT_EQ(items[0].id, 100u);
  EXPECT_EQ(items[0].code, "");
  const std::pair<std::string_view, std::string_view> expected[] = {
      {"en", "English"},       {"ko", "한국어"},  {"ja", "日本語"},   {"zh-Hans", "简体中文"},
      {"zh-Hant", "繁體中文"}, {"es", "Español"}, {"fr", "Français"}, {"de", "Deutsch"},
      {"pt", "Português"},     {"ru", "Русский"}};
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(items[i + 1].id, 101 + i);
    EXPECT_EQ(items[i + 1].code, expected[i].first);
    EXPECT_EQ(items[i + 1].label, expected[i].second);
  }
  EXPECT_EQ(checked_language("fr"), "fr");
  EXPECT_EQ(checked_language("FR"), "");
  EXPECT_EQ(checked_language(""), "");
}

}  // namespace
}  // namespace lw::test
