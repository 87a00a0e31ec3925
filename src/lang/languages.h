#pragma once
// The ten interface languages and how the one for this run is chosen.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

struct Language {
  std::string_view code;
  std::string_view native_name;  // the same in every interface language
};

// Menu order.
inline constexpr std::array<Language, 10> kLanguages = {{
    {"en", "English"},
    {"ko", "한국어"},
    {"ja", "日本語"},
    {"zh-Hans", "简体中文"},
    {"zh-Hant", "繁體中文"},
    {"es", "Español"},
    {"fr", "Français"},
    {"de", "Deutsch"},
    {"pt", "Português"},
    {"ru", "Русский"},
}};

// Exactly one of the ten codes (case-sensitive: "EN" and "en-US" are not).
bool is_language_code(std::string_view code);

// Windows: the user's UI language identifier by its primary language
// (0x0804 and 0x1004 are simplified Chinese, other Chinese traditional).
std::string_view language_from_langid(uint16_t langid);
// Linux: a locale name such as de_DE.UTF-8, zh_TW or pt_BR@euro; nothing
// when it names none of the ten languages (C and POSIX are English).
std::optional<std::string_view> known_language_from_locale(std::string_view locale);
// The same, English for anything unknown.
std::string_view language_from_locale(std::string_view locale);
// Linux: the first entry of LANGUAGE that is one of the ten languages (an
// unknown one falls through to the next, as gettext does), else the first
// of LC_ALL, LC_MESSAGES and LANG that is set; get(name) returns an
// environment variable or null.
std::string_view language_from_environment(const std::function<const char*(const char*)>& get);

// The system's interface language (GetUserDefaultUILanguage, or the locale
// environment).
std::string_view system_language();

// The stored "Language" when it is one of the codes, else the system's.
std::string_view choose_language(std::string_view stored, std::string_view system_code);

// The language menu: following the system ("Follow Windows"; on Linux
// "Follow the system"), code "", first, then the ten
// languages under their native names, with their menu ids.
struct LanguageMenuItem {
  uint32_t id = 0;
  std::string code;   // "" for following the system
  std::string label;  // already in the interface language
};
inline constexpr uint32_t kFollowSystemMenuId = 100;
std::array<LanguageMenuItem, 11> language_menu();
// The code the menu shows checked for a stored "Language" text: the text
// itself when it names a language, else "" (following the system).
std::string checked_language(std::string_view stored);

// Texts of the language setting, for the menu and its notice.
std::string language_menu_title();
std::string language_change_notice();
// The maker's web page in the interface language.
std::string maker_web_page();

}  // namespace lw
