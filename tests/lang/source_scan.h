#pragma once
// Finds the tr("korean", "english") calls in C++ source text, so the suite
// can check that every English text has its translations.
#include <string>
#include <string_view>
#include <vector>

namespace lw::test {

struct TrCall {
  int line = 0;  // where "tr" stands
  std::string korean;
  std::string english;
};

struct TrScan {
  std::vector<TrCall> calls;
  // Lines of tr( calls whose arguments are not both string literals (their
  // texts cannot be checked here).
  std::vector<int> unchecked_lines;
};

// Skips comments, char literals and raw strings; joins adjacent literals
// ("a" "b") and decodes escapes (\" \\ \n \x41 \u00e9 ...) to UTF-8.
TrScan scan_tr_calls(std::string_view source);

}  // namespace lw::test
