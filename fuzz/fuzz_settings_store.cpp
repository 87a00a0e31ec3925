// The Linux settings file. Whatever a file reads to, written out reads back
// to the same data without damage, and writing is stable; any data (valid
// UTF-8 names and texts, any numbers and bytes) survives writing and reading;
// and a written file cut short anywhere reads only values it really holds,
// flagged as damaged unless the cut fell at the end of a line.
//
// Input: the file's text; the same bytes also make a set of values.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/utf8.h"
#include "fuzz_support.h"
#include "settings/settings_text.h"

namespace {

using lw::StoreData;
using lw::StoredValue;

bool same_data(const StoreData& a, const StoreData& b) {
  const auto& x = a.sections();
  const auto& y = b.sections();
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i) {
    if (x[i].name != y[i].name || x[i].values != y[i].values) return false;
  }
  return true;
}

// Every value of `part` is in `whole` with the same contents.
bool holds(const StoreData& whole, const StoreData& part) {
  for (const lw::StoreSection& s : part.sections()) {
    for (const auto& [name, value] : s.values) {
      const StoredValue* v = whole.find(s.name, name);
      if (v == nullptr || *v != value) return false;
    }
  }
  return true;
}

StoreData make_data(lw::fuzz::FuzzInput& in) {
  StoreData data;
  const size_t count = in.byte() % 16;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t shape = in.byte();
    std::string section;
    if ((shape & 3) == 1) section = "Devices";
    if ((shape & 3) >= 2) section = lw::utf8_sanitize(in.short_text());
    // The own key is written under this name, so no subkey can have it.
    if (section == lw::kStoreOwnSection) section.clear();
    const std::string name = lw::utf8_sanitize(in.short_text());
    switch (shape >> 2 & 3) {
      case 0:
        data.set(section, name, StoredValue(static_cast<uint32_t>(in.u64())));
        break;
      case 1: {
        const std::span<const uint8_t> b = in.bytes(in.byte());
        data.set(section, name, StoredValue(std::vector<uint8_t>(b.begin(), b.end())));
        break;
      }
      default:
        data.set(section, name, StoredValue(lw::utf8_sanitize(in.short_text())));
        break;
    }
  }
  return data;
}

void check_written(const StoreData& data) {
  const std::string text = lw::format_store(data);
  LW_FUZZ_CHECK(lw::is_valid_utf8(text));
  const lw::ParsedStore back = lw::parse_store(text);
  LW_FUZZ_CHECK(!back.damaged);
  LW_FUZZ_CHECK(same_data(back.data, data));
  LW_FUZZ_CHECK(lw::format_store(back.data) == text);

  // Cut short at a few places: never a value the file does not hold.
  for (size_t cut = text.size() / 7 + 1; cut < text.size(); cut += text.size() / 7 + 1) {
    const lw::ParsedStore part = lw::parse_store(std::string_view(text).substr(0, cut));
    LW_FUZZ_CHECK(holds(data, part.data));
    LW_FUZZ_CHECK(part.damaged == (text[cut - 1] != '\n'));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const lw::ParsedStore parsed = lw::parse_store(lw::fuzz::as_text(data, size));
  for (const lw::StoreSection& s : parsed.data.sections()) {
    LW_FUZZ_CHECK(!s.values.empty());
    LW_FUZZ_CHECK(lw::is_valid_utf8(s.name) && s.name != lw::kStoreOwnSection);
    for (const auto& [name, value] : s.values) {
      LW_FUZZ_CHECK(lw::is_valid_utf8(name));
      if (const auto* t = std::get_if<std::string>(&value)) LW_FUZZ_CHECK(lw::is_valid_utf8(*t));
    }
  }
  check_written(parsed.data);

  lw::fuzz::FuzzInput in(data, size);
  check_written(make_data(in));
  return 0;
}
