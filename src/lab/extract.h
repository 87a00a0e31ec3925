#pragma once
// The numbers in a received line, each with the name of its series: named
// values such as "T=21.5 H=40" or "Temp: 23.1C", or, when a line has none,
// positional ones such as "1.2,3.4,5.6" named "1", "2", "3".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

struct ExtractedValue {
  std::string name;  // the label as written, or the token's number "1", "2", ...
  double value = 0;  // always finite
};

using ValueList = std::vector<ExtractedValue>;

// A number with an optional unit: "+5", ".5", "1E-3V", "25°C", "12.5km/h".
// Dates and clock times ("12/05", "12:30"), hex, infinities and anything
// with other characters after the number are not numbers.
std::optional<double> parse_number_token(std::string_view text);

// Every value of the line in the order its tokens stand; may be empty.
ValueList extract_values(std::string_view text);

// The same into `out`, which is replaced. Its elements and their names are
// reused, so once warmed up a line with short names allocates nothing.
void extract_values(std::string_view text, ValueList& out);

}  // namespace lw
