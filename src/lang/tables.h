#pragma once
// The eight translation tables (every language but en and ko), built into the
// program from lang/<code>.json: JSON objects from English text to its
// translation.
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/result.h"

namespace lw {

struct EmbeddedTable {
  std::string_view code;
  std::string_view json;  // the file's bytes as shipped
};

// In the order of the language menu (ja, zh-Hans, zh-Hant, es, fr, de, pt, ru).
std::span<const EmbeddedTable> embedded_tables();
// The table of a language, or null for en, ko and unknown codes.
const EmbeddedTable* embedded_table(std::string_view code);

// Lets find() take a string_view without building a string.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using Translations = std::unordered_map<std::string, std::string, TextHash, std::equal_to<>>;

// A JSON object whose values are all strings; anything else fails with a
// description of what was wrong.
Result<Translations, std::string> parse_table(std::string_view json);

}  // namespace lw
