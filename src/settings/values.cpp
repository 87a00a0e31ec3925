#include "settings/values.h"

#include <algorithm>
#include <limits>

namespace lw {

uint32_t cut_keep(Settings& s) {
  const std::optional<uint32_t> v = s.get_dword(setting::kCutKeep);
  return v && *v != 0 ? *v : kDefaultCutKeep;
}

void set_cut_keep(Settings& s, uint32_t value) { s.set_dword(setting::kCutKeep, value); }

uint32_t send_file_pause(Settings& s) {
  return std::min(s.get_dword(setting::kSendFilePause).value_or(0), kMaxSendFilePause);
}

uint32_t stamp_mode(Settings& s) {
  const std::optional<uint32_t> v = s.get_dword(setting::kStampMode);
  return v && *v <= 2 ? *v : 0;
}

void set_stamp_mode(Settings& s, uint32_t mode) { s.set_dword(setting::kStampMode, mode); }

uint32_t send_ending(Settings& s) {
  const std::optional<uint32_t> v = s.get_dword(setting::kEnding);
  return v && *v <= 3 ? *v : 1;
}

void set_send_ending(Settings& s, uint32_t ending) { s.set_dword(setting::kEnding, ending); }

uint64_t last_update_check(Settings& s) {
  const std::optional<std::string> text = s.get_text(setting::kLastUpdateCheck);
  if (!text || text->empty()) return 0;
  uint64_t value = 0;
  for (char c : *text) {
    if (c < '0' || c > '9') return 0;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) return 0;
    value = value * 10 + digit;
  }
  return value;
}

void set_last_update_check(Settings& s, uint64_t seconds) {
  s.set_text(setting::kLastUpdateCheck, std::to_string(seconds));
}

std::optional<std::string> rules_text(Settings& s) { return s.get_text(setting::kRules); }

void set_rules_text(Settings& s, std::string_view text) { s.set_text(setting::kRules, text); }

std::optional<std::string> commands_text(Settings& s) { return s.get_text(setting::kCommands); }

void set_commands_text(Settings& s, std::string_view text) { s.set_text(setting::kCommands, text); }

std::optional<std::vector<uint8_t>> placement(Settings& s) {
  std::optional<std::vector<uint8_t>> v = s.get_binary(setting::kPlacement);
  if (!v || v->size() != kPlacementSize) return std::nullopt;
  return v;
}

void set_placement(Settings& s, const std::vector<uint8_t>& bytes) {
  s.set_binary(setting::kPlacement, bytes);
}

std::string language_setting(Settings& s) {
  return s.get_text(setting::kLanguage).value_or(std::string());
}

void set_language_setting(Settings& s, std::string_view code) {
  s.set_text(setting::kLanguage, code);
}

}  // namespace lw
