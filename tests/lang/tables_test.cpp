// The eight translation tables as they are built into the program.
#include "lang/tables.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "lang/languages.h"
#include "listed_keys.h"

namespace lw::test {
namespace {

// The 215 listed texts, the web address, the texts only the Linux build
// shows (the dialout hint when the account may not open a port, the program
// seen holding a busy port, the two messages for a missing display, the
// question before a save replaces a file whose extension the save dialog
// added, the notice of a newer release with its action "Open the download
// page", and "More", the tooltip of a bar's overflow menu), the Linux side of
// the platform words (eight) and the address dialog's hint on either side,
// the texts of ports named by their address (the port list's entry, the
// dialog's title, a path that is no serial device, a built-in UART), the 29
// texts of replays and of sending files, and the nine texts of a port let go
// for another program (the button, its tooltip and menu item both ways, the
// log mark, the badge and four state texts), and the ten texts of ports on
// another machine (connecting, unreachable, refused settings, the raw tcp://
// tooltip and the network hints).
constexpr size_t kTableKeys = 286;

constexpr std::string_view kWebAddress = "https://hollent.com/";

std::multiset<std::string> placeholders(std::string_view text) {
  static const std::regex ph(R"(\{\d+\})");
  std::multiset<std::string> out;
  const std::string s(text);
  for (auto it = std::sregex_iterator(s.begin(), s.end(), ph); it != std::sregex_iterator(); ++it) {
    out.insert(it->str());
  }
  return out;
}

Translations parsed(std::string_view code) {
  const EmbeddedTable* t = embedded_table(code);
  if (!t) return {};
  Result<Translations, std::string> r = parse_table(t->json);
  return r ? *r : Translations();
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
  }
  return lines;
}

TEST(Tables, EightTablesInMenuOrder) {
  std::vector<std::string_view> codes;
  for (const EmbeddedTable& t : embedded_tables()) codes.push_back(t.code);
  EXPECT_EQ(codes, (std::vector<std::string_view>{"ja", "zh-Hans", "zh-Hant", "es", "fr", "de",
                                                  "pt", "ru"}));
  EXPECT_EQ(embedded_table("en"), nullptr);
  EXPECT_EQ(embedded_table("ko"), nullptr);
}

TEST(Tables, EachIsOnePairPerCrLfLine) {
  for (const EmbeddedTable& t : embedded_tables()) {
    SCOPED_TRACE(std::string(t.code));
    EXPECT_TRUE(t.json.ends_with("}\r\n"));
    size_t lf = 0;
    size_t crlf = 0;
    for (size_t i = 0; i < t.json.size(); ++i) {
      lf += t.json[i] == '\n';
      crlf += t.json[i] == '\n' && i > 0 && t.json[i - 1] == '\r';
    }
    EXPECT_EQ(lf, crlf) << "bare LF line ends";
    const std::vector<std::string_view> lines = lines_of(t.json);
    ASSERT_EQ(lines.size(), kTableKeys + 2);  // "{", the pairs, "}"
    EXPECT_EQ(lines.front(), "{");
    EXPECT_EQ(lines.back(), "}");
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
      std::string_view pair = lines[i];
      const bool last = i + 2 == lines.size();
      EXPECT_EQ(pair.ends_with(','), !last) << pair;
      if (!last) pair.remove_suffix(1);
      const Result<Translations, std::string> one = parse_table("{" + std::string(pair) + "}");
      ASSERT_TRUE(one.ok()) << pair;
      EXPECT_EQ(one->size(), 1u) << pair;
    }
  }
}

TEST(Tables, SameKeysEverywhereAndEveryListedKey) {
  const Translations ja = parsed("ja");
  ASSERT_EQ(ja.size(), kTableKeys);
  for (std::string_view key : kListedKeys) EXPECT_TRUE(ja.contains(key)) << key;
  EXPECT_TRUE(ja.contains(kWebAddress));
  for (const EmbeddedTable& t : embedded_tables()) {
    SCOPED_TRACE(std::string(t.code));
    const Result<Translations, std::string> table = parse_table(t.json);
    ASSERT_TRUE(table.ok()) << table.error();
    EXPECT_EQ(table->size(), kTableKeys);
    for (const auto& [key, value] : *table) {
      EXPECT_TRUE(ja.contains(key)) << key;
      EXPECT_FALSE(value.empty()) << key;
      EXPECT_EQ(placeholders(value), placeholders(key)) << key << " => " << value;
    }
  }
}

TEST(Tables, KeysStandInTheListedOrder) {
  for (const EmbeddedTable& t : embedded_tables()) {
    const std::vector<std::string_view> lines = lines_of(t.json);
    ASSERT_EQ(lines.size(), kTableKeys + 2);
    for (size_t i = 0; i < kListedKeys.size(); ++i) {
      const Result<Translations, std::string> one =
          parse_table("{" + std::string(lines[i + 1].substr(0, lines[i + 1].size() - 1)) + "}");
      ASSERT_TRUE(one.ok());
      EXPECT_TRUE(one->contains(kListedKeys[i])) << t.code << " line " << i + 2;
    }
  }
}

TEST(Tables, TellingRows) {
  struct Row {
    std::string_view key, ja, de, ru;
  };
  const Row rows[] = {
      {"None", "なし", "Keine", "Нет"},
      {"Reconnect", "再接続", "Neu verbinden", "Переподключить"},
      {"{0} · {1} is connected", "{0} · {1} が接続されました", "{0} · {1} ist verbunden",
       "{0} · {1} подключён"},
      {"disconnected", "切断", "getrennt", "отключение"},
      {"The last {0} min", "直前の {0} 分", "Die letzten {0} Min.", "Последние {0} мин"},
  };
  const Translations ja = parsed("ja");
  const Translations de = parsed("de");
  const Translations ru = parsed("ru");
  for (const Row& r : rows) {
    EXPECT_EQ(ja.at(std::string(r.key)), r.ja);
    EXPECT_EQ(de.at(std::string(r.key)), r.de);
    EXPECT_EQ(ru.at(std::string(r.key)), r.ru);
  }
  for (std::string_view code : {"ja", "fr", "de", "pt"}) EXPECT_EQ(parsed(code).at("OK"), "OK");
  for (std::string_view code : {"fr", "de"}) {
    EXPECT_EQ(parsed(code).at("Port"), "Port");
    EXPECT_EQ(parsed(code).at("Pause"), "Pause");
  }
}

TEST(Tables, WebAddressLeadsToTheLanguagesPage) {
  const std::pair<std::string_view, std::string_view> pages[] = {
      {"ja", "ja/"}, {"zh-Hans", "zh-hans/"}, {"zh-Hant", "zh-hant/"}, {"es", "es/"},
      {"fr", "fr/"}, {"de", "de/"},           {"pt", "pt/"},           {"ru", "ru/"}};
  for (const auto& [code, page] : pages) {
    EXPECT_EQ(parsed(code).at(std::string(kWebAddress)),
              std::string(kWebAddress) + std::string(page));
  }
}

TEST(Tables, WordsForFileNamesAreSafeInFileNames) {
  for (const EmbeddedTable& t : embedded_tables()) {
    const Translations table = parsed(t.code);
    for (const char* key : {"disconnected", "alert", "values", "ports-values"}) {
      const std::string& word = table.at(key);
      EXPECT_EQ(word.find_first_of("\\/:*?\"<>|"), std::string::npos) << t.code << ": " << word;
    }
  }
}

TEST(Tables, ParseRejectsAnythingButAnObjectOfTexts) {
  EXPECT_TRUE(parse_table("{}").ok());
  EXPECT_EQ(parse_table("{\"a\": \"b\"}")->at("a"), "b");
  for (const char* bad : {"", "[]", "\"x\"", "{\"a\": 1}", "{\"a\": null}", "{\"a\": [\"b\"]}",
                          "{\"a\": \"b\"", "{\"a\": \"b\",}"}) {
    EXPECT_FALSE(parse_table(bad).ok()) << bad;
  }
}

}  // namespace
}  // namespace lw::test
