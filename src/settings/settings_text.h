#pragma once
// The text form of the settings file (builds without a registry).
//
//   # Linewick settings
//   [Linewick]
//   AutoReconnect=dword:0
//   Language=text:de
//   Rules=text:above\tT\t30\t0\t1\ntext\tERROR\t\t1\t0
//   Placement=binary:2c000000000000000100000000000000...
//   [Devices]
//   2341:0043=text:9600,8,N,1,1,1
//
// UTF-8, one item per line, every line ended by LF (a CR before the LF is
// dropped). "[Name]" starts a section: "Linewick" is the program's own key,
// any other name is one of its subkeys; values before the first header
// belong to the own key. A value line is name=type:value with the types
// dword (decimal, 0 to 4294967295), text (escaped) and binary (pairs of hex
// digits). Escapes, in names and texts: \\ \n \r \t \xHH (other control
// bytes); names also escape = [ ] # as \= \[ \] \#. Blank lines and lines
// starting with # are comments. Within a section the last line of a name
// wins.
//
// A line that doesn't read this way, or a last line without its LF (a file
// cut short), is skipped and marks the whole text as damaged.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lw {

using StoredValue = std::variant<uint32_t, std::string, std::vector<uint8_t>>;

struct StoreSection {
  std::string name;  // "" for the program's own key
  std::vector<std::pair<std::string, StoredValue>> values;
};

// Sections and values in the order they were first written.
class StoreData {
 public:
  const StoredValue* find(std::string_view section, std::string_view name) const;
  void set(std::string_view section, std::string_view name, StoredValue value);
  bool empty() const { return sections_.empty(); }
  const std::vector<StoreSection>& sections() const { return sections_; }

 private:
  StoreSection& section(std::string_view name);
  std::vector<StoreSection> sections_;
};

struct ParsedStore {
  StoreData data;
  bool damaged = false;  // something in the text could not be read
};

inline constexpr std::string_view kStoreOwnSection = "Linewick";

ParsedStore parse_store(std::string_view text);
std::string format_store(const StoreData& data);

}  // namespace lw
