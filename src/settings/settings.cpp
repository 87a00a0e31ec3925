#include "settings/settings.h"

#include <algorithm>
#include <array>

#include "settings/values.h"

namespace lw {

namespace {

constexpr std::array<std::string_view, 3> kDefaultOnFlags = {
    setting::kAutoReconnect, setting::kCutSave, setting::kAutoUpdate};

bool is_default_on(std::string_view name) {
  return std::find(kDefaultOnFlags.begin(), kDefaultOnFlags.end(), name) != kDefaultOnFlags.end();
}

}  // namespace

bool flag_default_on(Settings& s, std::string_view name) {
  const std::optional<uint32_t> v = s.get_dword(name);
  return !v || *v != 0;
}

bool flag_default_off(Settings& s, std::string_view name) {
  const std::optional<uint32_t> v = s.get_dword(name);
  return v && *v != 0;
}

bool flag(Settings& s, std::string_view name) {
  return is_default_on(name) ? flag_default_on(s, name) : flag_default_off(s, name);
}

bool toggle(Settings& s, std::string_view name) {
  const bool next = !flag(s, name);
  s.set_dword(name, next ? 1 : 0);
  return next;
}

}  // namespace lw
