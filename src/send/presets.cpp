#include "send/presets.h"

#include <algorithm>

#include "base/trim.h"
#include "lang/tr.h"

namespace lw {

std::vector<std::string> default_presets() {
  return {"*IDN?", "MEAS:VOLT?", "*RST | wait 500 | MEAS:VOLT?"};
}

std::vector<std::string> parse_presets(std::string_view stored) {
  std::vector<std::string> out;
  while (true) {
    const size_t lf = stored.find('\n');
    std::string_view line = stored.substr(0, lf);
    if (lf != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    line = trim_white_space(line);
    if (!line.empty()) out.emplace_back(line);
    if (lf == std::string_view::npos) break;
    stored.remove_prefix(lf + 1);
  }
  return out;
}

std::string join_presets(const std::vector<std::string>& presets) {
  std::string out;
  for (size_t i = 0; i < presets.size(); ++i) {
    if (i > 0) out += '\n';
    out += presets[i];
  }
  return out;
}

std::vector<std::string> load_presets(Settings& settings) {
  const std::optional<std::string> stored = settings.get_text(kCommandsSetting);
  if (!stored) return default_presets();
  return parse_presets(*stored);
}

std::optional<std::string> add_preset(std::vector<std::string>& presets, Settings& settings,
                                      std::string_view text) {
  const std::string_view trimmed = trim_white_space(text);
  if (trimmed.empty()) return std::nullopt;
  presets.emplace_back(trimmed);
  settings.set_text(kCommandsSetting, join_presets(presets));
  return tr("프리셋에 추가했습니다", "Added to the presets");
}

void remove_preset(std::vector<std::string>& presets, Settings& settings, std::string_view text) {
  const auto it = std::find(presets.begin(), presets.end(), text);
  if (it != presets.end()) presets.erase(it);
  settings.set_text(kCommandsSetting, join_presets(presets));
}

}  // namespace lw
