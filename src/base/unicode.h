#pragma once
// Unicode properties and case mapping from tables generated at build time
// from the Unicode Character Database, so both targets behave the same.
#include <string>
#include <string_view>

namespace lw::unicode {

bool is_alphabetic(char32_t c);   // derived property Alphabetic
bool is_numeric(char32_t c);      // Numeric_Type other than None
bool is_white_space(char32_t c);  // property White_Space
// Full lower-case mapping (special casing included, no locale rules).
void append_lower(std::string& out, char32_t c);
// Lower-cases UTF-8 text; invalid bytes are copied unchanged.
std::string to_lower(std::string_view utf8);

}  // namespace lw::unicode
