// The stored "Commands" value. Every preset read is a trimmed, non-empty line
// without LF, and the presets stored again read back unchanged.
//
// Input: the stored text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/trim.h"
#include "fuzz_support.h"
#include "send/presets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view stored = lw::fuzz::as_text(data, size);
  const std::vector<std::string> presets = lw::parse_presets(stored);
  const size_t lines = 1 + static_cast<size_t>(std::count(stored.begin(), stored.end(), '\n'));
  LW_FUZZ_CHECK(presets.size() <= lines);
  for (const std::string& p : presets) {
    LW_FUZZ_CHECK(!p.empty());
    LW_FUZZ_CHECK(p.find('\n') == std::string::npos);
    LW_FUZZ_CHECK(lw::trim_white_space(p) == p);
    LW_FUZZ_CHECK(stored.find(p) != std::string_view::npos);
  }
  const std::string again = lw::join_presets(presets);
  LW_FUZZ_CHECK(lw::parse_presets(again) == presets);
  LW_FUZZ_CHECK(lw::join_presets(lw::parse_presets(again)) == again);
  return 0;
}
