#pragma once
// UTF-8 as the UTF-16 of the Windows W calls.
#include <string>
#include <string_view>

#include "base/utf8.h"

namespace lw {

inline std::wstring wide(std::string_view utf8) {
  const std::u16string units = utf16_from_utf8(utf8);
  return std::wstring(units.begin(), units.end());
}

}  // namespace lw
