#pragma once
// Where the search text occurs in a shown line, for its highlight.
#include <cstddef>
#include <string_view>
#include <vector>

namespace lw {

struct CharRange {
  size_t begin = 0;  // in Unicode scalar values
  size_t end = 0;
  friend bool operator==(const CharRange&, const CharRange&) = default;
};

// The occurrences of needle (already lower-cased) in the lower-cased text,
// left to right without overlapping, at most `limit`, as ranges of the
// text's own characters (lower-casing may change a character's length).
std::vector<CharRange> find_matches(std::string_view text, std::string_view needle,
                                    size_t limit = 50);

}  // namespace lw
