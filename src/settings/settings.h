#pragma once
// The per-user settings store. Nothing is cached: every reader asks the store
// at the moment it needs a value and applies its own default; every change is
// written at once. Read failures count as absent; write failures are ignored
// by callers (the setting then simply does not persist).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

inline constexpr std::string_view kDevicesSubkey = "Devices";

class Settings {
 public:
  virtual ~Settings() = default;
  // subkey empty: the program's own key; else a subkey of it ("Devices").
  virtual std::optional<uint32_t> get_dword(std::string_view name,
                                            std::string_view subkey = {}) = 0;
  virtual void set_dword(std::string_view name, uint32_t value, std::string_view subkey = {}) = 0;
  virtual std::optional<std::string> get_text(std::string_view name,
                                              std::string_view subkey = {}) = 0;
  virtual void set_text(std::string_view name, std::string_view value,
                        std::string_view subkey = {}) = 0;
  virtual std::optional<std::vector<uint8_t>> get_binary(std::string_view name,
                                                         std::string_view subkey = {}) = 0;
  virtual void set_binary(std::string_view name, const std::vector<uint8_t>& value,
                          std::string_view subkey = {}) = 0;
  // Deletes every value and subkey.
  virtual void forget_all() = 0;
};

// True unless the value exists and is 0.
bool flag_default_on(Settings& s, std::string_view name);
// True only if the value exists and is non-zero.
bool flag_default_off(Settings& s, std::string_view name);
// The program's flags read with their own defaults (AutoReconnect, CutSave
// and AutoUpdate are on when absent; every other name is off when absent).
bool flag(Settings& s, std::string_view name);
// Writes the opposite of what flag() returns (1 or 0) and returns the new
// state, so the first toggle of a default-on flag writes 0.
bool toggle(Settings& s, std::string_view name);

// The current user's store: HKCU\Software\Linewick on Windows, the settings
// file under the user's configuration folder elsewhere.
std::unique_ptr<Settings> open_user_settings();

}  // namespace lw
