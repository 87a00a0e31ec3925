// The translation table reader. A table that reads holds valid UTF-8 keys and
// texts, and written back as JSON (every character escaped one way or
// another) reads back to the same table; a failure says what was wrong.
//
// Input: the JSON text.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "fuzz_support.h"
#include "lang/tables.h"

namespace {

// A JSON string; `ascii` writes everything beyond ASCII as \u escapes.
void append_json_string(std::string& out, std::string_view s, bool ascii) {
  if (!ascii) {
    out += lw::fuzz::json_string(s);
    return;
  }
  out += '"';
  for (const char16_t u : lw::utf16_from_utf8(s)) {
    if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\') {
      out += static_cast<char>(u);
    } else {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04X", static_cast<unsigned>(u));
      out += esc;
    }
  }
  out += '"';
}

std::string table_json(const lw::Translations& table, bool ascii) {
  std::string out = "{";
  for (const auto& [key, text] : table) {
    if (out.size() > 1) out += ",\n ";
    append_json_string(out, key, ascii);
    out += ':';
    append_json_string(out, text, ascii);
  }
  out += '}';
  return out;
}

void check_reads_back(const lw::Translations& table, bool ascii) {
  const auto again = lw::parse_table(table_json(table, ascii));
  LW_FUZZ_CHECK(again.ok());
  LW_FUZZ_CHECK(*again == table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto table = lw::parse_table(lw::fuzz::as_text(data, size));
  if (!table.ok()) {
    LW_FUZZ_CHECK(!table.error().empty());
    return 0;
  }
  for (const auto& [key, text] : *table) {
    LW_FUZZ_CHECK(lw::is_valid_utf8(key));
    LW_FUZZ_CHECK(lw::is_valid_utf8(text));
  }
  check_reads_back(*table, false);
  check_reads_back(*table, true);
  return 0;
}
