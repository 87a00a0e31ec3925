#pragma once
// Hex mode of the send box: "48 65 0D 0A", "0x48,0x65", "48-65", "4865".
#include <string>
#include <string_view>

#include "base/bytes.h"
#include "base/result.h"

namespace lw {

// Tokens are split at Unicode white space and , - : ; and may carry a 0x
// prefix. One digit is one byte ("A" is 0x0A); an even run gives one byte
// per pair; an odd run longer than one, or any other character, is an
// error whose text is the notice to show.
Result<Bytes> parse_hex_bytes(std::string_view text);

std::string hex_error_text();

}  // namespace lw
