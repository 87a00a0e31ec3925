#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/utf8.h"
#include "base/wide_win32.h"
#include "settings/settings_registry.h"

namespace lw {

namespace {

std::string narrow(std::wstring_view w) {
  return utf8_from_utf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
}

// RegGetValueW into a buffer sized by a first call; retried if the value
// grows in between. Absent on any failure.
std::optional<std::vector<BYTE>> read_value(const std::wstring& key, const std::wstring& name,
                                            DWORD type_flag) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type_flag, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::vector<BYTE> data(size);
    DWORD got = size;
    const LSTATUS r = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type_flag, nullptr,
                                   size ? data.data() : nullptr, &got);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) return std::nullopt;
    data.resize(got);
    return data;
  }
  return std::nullopt;
}

}  // namespace

RegistrySettings::RegistrySettings(std::string_view key_path) : key_(wide(key_path)) {}

std::wstring RegistrySettings::key_for(std::string_view subkey) const {
  return subkey.empty() ? key_ : key_ + L"\\" + wide(subkey);
}

std::optional<uint32_t> RegistrySettings::get_dword(std::string_view name,
                                                    std::string_view subkey) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key_for(subkey).c_str(), wide(name).c_str(), RRF_RT_REG_DWORD,
                   nullptr, &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

void RegistrySettings::set_dword(std::string_view name, uint32_t value, std::string_view subkey) {
  const DWORD v = value;
  (void)RegSetKeyValueW(HKEY_CURRENT_USER, key_for(subkey).c_str(), wide(name).c_str(), REG_DWORD,
                        &v, sizeof v);
}

std::optional<std::string> RegistrySettings::get_text(std::string_view name,
                                                      std::string_view subkey) {
  const std::optional<std::vector<BYTE>> data =
      read_value(key_for(subkey), wide(name), RRF_RT_REG_SZ);
  if (!data) return std::nullopt;
  std::wstring text(data->size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data->data(), text.size() * sizeof(wchar_t));
  text.resize(std::min(text.size(), text.find(L'\0')));
  return narrow(text);
}

void RegistrySettings::set_text(std::string_view name, std::string_view value,
                                std::string_view subkey) {
  const std::wstring text = wide(value);
  (void)RegSetKeyValueW(HKEY_CURRENT_USER, key_for(subkey).c_str(), wide(name).c_str(), REG_SZ,
                        text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::vector<uint8_t>> RegistrySettings::get_binary(std::string_view name,
                                                                 std::string_view subkey) {
  std::optional<std::vector<BYTE>> data =
      read_value(key_for(subkey), wide(name), RRF_RT_REG_BINARY);
  if (!data) return std::nullopt;
  return std::vector<uint8_t>(data->begin(), data->end());
}

void RegistrySettings::set_binary(std::string_view name, const std::vector<uint8_t>& value,
                                  std::string_view subkey) {
  (void)RegSetKeyValueW(HKEY_CURRENT_USER, key_for(subkey).c_str(), wide(name).c_str(), REG_BINARY,
                        value.empty() ? nullptr : value.data(), static_cast<DWORD>(value.size()));
}

void RegistrySettings::forget_all() { (void)RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

std::unique_ptr<Settings> open_user_settings() { return std::make_unique<RegistrySettings>(); }

}  // namespace lw
