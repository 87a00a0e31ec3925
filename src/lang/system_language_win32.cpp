#include <windows.h>

#include "lang/languages.h"

namespace lw {

std::string_view system_language() {
  return language_from_langid(static_cast<uint16_t>(GetUserDefaultUILanguage()));
}

}  // namespace lw
