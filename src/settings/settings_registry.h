#pragma once
// The Windows store: values of one key under HKEY_CURRENT_USER (the program
// uses Software\Linewick; tests name a key of their own).
#include <string>

#include "settings/settings.h"

namespace lw {

inline constexpr std::string_view kRegistryKey = "Software\\Linewick";

class RegistrySettings final : public Settings {
 public:
  explicit RegistrySettings(std::string_view key_path = kRegistryKey);

  std::optional<uint32_t> get_dword(std::string_view name, std::string_view subkey = {}) override;
  void set_dword(std::string_view name, uint32_t value, std::string_view subkey = {}) override;
  std::optional<std::string> get_text(std::string_view name, std::string_view subkey = {}) override;
  void set_text(std::string_view name, std::string_view value,
                std::string_view subkey = {}) override;
  std::optional<std::vector<uint8_t>> get_binary(std::string_view name,
                                                 std::string_view subkey = {}) override;
  void set_binary(std::string_view name, const std::vector<uint8_t>& value,
                  std::string_view subkey = {}) override;
  // RegDeleteTreeW of the whole key, subkeys included.
  void forget_all() override;

 private:
  std::wstring key_for(std::string_view subkey) const;
  std::wstring key_;  // UTF-16
};

}  // namespace lw
