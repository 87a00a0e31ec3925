#include <cstdlib>

#include "lang/languages.h"

namespace lw {

std::string_view system_language() {
  return language_from_environment(
      [](const char* name) -> const char* { return std::getenv(name); });
}

}  // namespace lw
