#include "ports/port_address.h"

#include <algorithm>

#include "base/trim.h"
#include "base/utf8.h"

namespace lw {

Result<PortAddress, AddressError> parse_port_address(std::string_view typed) {
  const std::string_view text = trim_white_space(typed);
  if (text.empty()) return fail(AddressError::Empty);
  if (!is_valid_utf8(text)) return fail(AddressError::Unknown);
  const bool control = std::any_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
  if (control) return fail(AddressError::Unknown);
  // No network kinds yet: any scheme is one this program does not speak.
  if (text.find("://") != std::string_view::npos) return fail(AddressError::Unknown);
  return PortAddress{AddressKind::Device, std::string(text)};
}

}  // namespace lw
