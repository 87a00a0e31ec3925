#include "lang/languages.h"

#include <algorithm>

#include "lang/platform_words.h"
#include "lang/tr.h"

namespace lw {

namespace {

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_ascii_ci(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ascii_lower(x) == ascii_lower(y);
         });
}

}  // namespace

bool is_language_code(std::string_view code) {
  return std::any_of(kLanguages.begin(), kLanguages.end(),
                     [&](const Language& l) { return l.code == code; });
}

std::string_view language_from_langid(uint16_t langid) {
  switch (langid & 0x3FF) {
    case 0x04:
      return langid == 0x0804 || langid == 0x1004 ? "zh-Hans" : "zh-Hant";
    case 0x07:
      return "de";
    case 0x0A:
      return "es";
    case 0x0C:
      return "fr";
    case 0x11:
      return "ja";
    case 0x12:
      return "ko";
    case 0x16:
      return "pt";
    case 0x19:
      return "ru";
    default:
      return "en";
  }
}

std::optional<std::string_view> known_language_from_locale(std::string_view locale) {
  // language[_territory][.codeset][@modifier]; "-" also separates the parts
  // in LANGUAGE entries such as zh-TW.
  locale = locale.substr(0, locale.find_first_of(".@"));
  const size_t sep = locale.find_first_of("_-");
  const std::string_view lang = locale.substr(0, sep);
  const std::string_view rest = sep == std::string_view::npos ? "" : locale.substr(sep + 1);
  if (equals_ascii_ci(lang, "zh")) {
    // Bare zh is taken as the mainland form, as gettext does.
    if (rest.empty() || equals_ascii_ci(rest, "CN") || equals_ascii_ci(rest, "SG") ||
        equals_ascii_ci(rest, "Hans") || equals_ascii_ci(rest.substr(0, 5), "Hans_") ||
        equals_ascii_ci(rest.substr(0, 5), "Hans-")) {
      return "zh-Hans";
    }
    return "zh-Hant";
  }
  // C and POSIX mean the untranslated texts, which are English.
  if (lang == "C" || lang == "POSIX") return "en";
  for (std::string_view code : {"en", "ko", "ja", "de", "es", "fr", "pt", "ru"}) {
    if (equals_ascii_ci(lang, code)) return code;
  }
  return std::nullopt;
}

std::string_view language_from_locale(std::string_view locale) {
  return known_language_from_locale(locale).value_or("en");
}

std::string_view language_from_environment(const std::function<const char*(const char*)>& get) {
  // LANGUAGE is a list of preferences: the first one this program speaks wins.
  if (const char* list = get("LANGUAGE")) {
    std::string_view rest(list);
    while (!rest.empty()) {
      const std::string_view entry = rest.substr(0, rest.find(':'));
      if (!entry.empty()) {
        if (auto code = known_language_from_locale(entry)) return *code;
      }
      rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
    }
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = get(name);
    if (value && value[0] != '\0') return language_from_locale(value);
  }
  return "en";
}

std::string_view choose_language(std::string_view stored, std::string_view system_code) {
  for (const Language& l : kLanguages) {
    if (l.code == stored) return l.code;
  }
  return system_code;
}

std::array<LanguageMenuItem, 11> language_menu() {
  std::array<LanguageMenuItem, 11> items;
  items[0] = {kFollowSystemMenuId, "", platform_tr(PlatformText::follow_system)};
  for (size_t i = 0; i < kLanguages.size(); ++i) {
    items[i + 1] = {kFollowSystemMenuId + 1 + static_cast<uint32_t>(i),
                    std::string(kLanguages[i].code), std::string(kLanguages[i].native_name)};
  }
  return items;
}

std::string checked_language(std::string_view stored) {
  return is_language_code(stored) ? std::string(stored) : std::string();
}

std::string language_menu_title() { return tr("언어", "Language"); }

std::string language_change_notice() {
  return tr("Linewick을 다음에 열 때 적용됩니다", "Takes effect the next time Linewick opens");
}

std::string maker_web_page() { return tr("https://hollent.com/ko/", "https://hollent.com/"); }

}  // namespace lw
