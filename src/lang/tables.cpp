#include "lang/tables.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace lw {

const EmbeddedTable* embedded_table(std::string_view code) {
  const std::span<const EmbeddedTable> all = embedded_tables();
  const auto it =
      std::find_if(all.begin(), all.end(), [&](const EmbeddedTable& t) { return t.code == code; });
  return it == all.end() ? nullptr : &*it;
}

Result<Translations, std::string> parse_table(std::string_view json) {
  // No exceptions: a malformed text comes back as a discarded value.
  const nlohmann::json doc = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
  if (doc.is_discarded()) return fail(std::string("not valid JSON"));
  if (!doc.is_object()) return fail(std::string("not a JSON object"));
  Translations out;
  out.reserve(doc.size());
  for (const auto& [key, value] : doc.items()) {
    if (!value.is_string()) return fail("the value of \"" + key + "\" is not a text");
    out.emplace(key, value.get_ref<const std::string&>());
  }
  return out;
}

}  // namespace lw
