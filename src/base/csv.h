#pragma once
#include <string>
#include <string_view>

namespace lw {

// A field holding ",", a double quote, CR or LF is written between double
// quotes with each double quote doubled; any other field as it is.
void append_csv_field(std::string& out, std::string_view field);

}  // namespace lw
