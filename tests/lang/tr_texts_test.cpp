// Every English text given to tr() anywhere in the program must be a key of
// the tables, or it would show untranslated in eight languages.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "lang/platform_words.h"
#include "lang/tables.h"
#include "source_scan.h"

namespace lw::test {
namespace {

namespace fs = std::filesystem;

TEST(SourceScan, FindsLiteralCallsOnly) {
  const TrScan scan = scan_tr_calls(R"src(
    std::string tr(std::string_view korean, std::string_view english);
    auto a = tr("가", "Plain");
    auto b = lw::tr("나 \"인용\"",
                    "Said \"hi\" \\ "
                    "across lines");
    // tr("주석", "In a comment")
    /* tr("주석", "In a block
       comment") */
    auto c = attr("x", "Not tr"); auto d = obj.tr("x", "Member"); auto e = p->tr("x", "Arrow");
    auto f = tr(u8"다", u8"Prefixed \u00e9\x41");
    auto g = tr(R"(라)", R"x(Raw "quoted" )text)x");
    char q = '"'; auto h = tr("마", "After a quote char");
    int n = 1'000; auto i = tr("바", "After a digit separator");
    auto j = tr(korean_text, "Not checkable");
    return tr("사", "Returned");
  )src");
  std::vector<std::string> english;
  for (const TrCall& c : scan.calls) english.push_back(c.english);
  EXPECT_EQ(english, (std::vector<std::string>{"Plain", "Said \"hi\" \\ across lines",
                                               "Prefixed \xC3\xA9"
                                               "A",
                                               "Raw \"quoted\" )text", "After a quote char",
                                               "After a digit separator", "Returned"}));
  ASSERT_GE(scan.calls.size(), 2u);
  EXPECT_EQ(scan.calls[0].korean, "가");
  EXPECT_EQ(scan.calls[0].line, 3);
  EXPECT_EQ(scan.calls[1].korean, "나 \"인용\"");
  EXPECT_EQ(scan.unchecked_lines, std::vector<int>{15});
}

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::string bytes;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  return bytes;
}

// The program's source files, relative to src/, in a stable order.
std::vector<std::pair<std::string, std::string>> source_files() {
  const fs::path root = fs::path(LINEWICK_SOURCE_DIR);
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const fs::path ext = e.path().extension();
    if (e.is_regular_file() && (ext == ".cpp" || ext == ".h" || ext == ".hpp" || ext == ".cc")) {
      files.emplace_back(fs::relative(e.path(), root).generic_string(), read_all(e.path()));
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(TrTexts, EveryEnglishTextInTheSourcesHasItsTranslations) {
  ASSERT_TRUE(fs::is_directory(fs::path(LINEWICK_SOURCE_DIR))) << LINEWICK_SOURCE_DIR;
  std::vector<Translations> tables;
  for (const EmbeddedTable& t : embedded_tables()) {
    Result<Translations, std::string> parsed = parse_table(t.json);
    ASSERT_TRUE(parsed.ok()) << t.code;
    tables.push_back(std::move(*parsed));
  }
  size_t checked = 0;
  std::set<std::string> missing;
  std::string report;
  for (const auto& [where, text] : source_files()) {
    for (const TrCall& call : scan_tr_calls(text).calls) {
      ++checked;
      const bool everywhere = std::all_of(tables.begin(), tables.end(), [&](const Translations& t) {
        return t.contains(call.english);
      });
      if (!everywhere && missing.insert(call.english).second) {
        report += "  " + where + ":" + std::to_string(call.line) + "  \"" + call.english + "\"\n";
      }
    }
  }
  // The platform words are data, read by tr_data(): both sides count, for
  // each build shows one of them.
  for (const PlatformWording& w : kPlatformWords) {
    for (const Wording& side : {w.on_windows, w.on_linux}) {
      ++checked;
      const bool everywhere = std::all_of(tables.begin(), tables.end(), [&](const Translations& t) {
        return t.contains(side.english);
      });
      if (!everywhere && missing.insert(std::string(side.english)).second) {
        report += "  lang/platform_words.h  \"" + std::string(side.english) + "\"\n";
      }
    }
  }
  EXPECT_GT(checked, 0u);
  EXPECT_TRUE(missing.empty()) << missing.size()
                               << " English texts passed to tr() have no translations in "
                                  "lang/*.json:\n"
                               << report;
}

// A text built at run time would escape the check above.
TEST(TrTexts, EveryCallGivesItsTextsAsLiterals) {
  std::string report;
  for (const auto& [where, text] : source_files()) {
    for (int line : scan_tr_calls(text).unchecked_lines) {
      report += "  " + where + ":" + std::to_string(line) + "\n";
    }
  }
  EXPECT_TRUE(report.empty()) << "tr() calls whose texts are not string literals:\n" << report;
}

}  // namespace
}  // namespace lw::test
