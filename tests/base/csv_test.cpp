#include "base/csv.h"

#include <gtest/gtest.h>

#include <string>

namespace lw {
namespace {

TEST(Csv, Fields) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"T", "T"},
      {" leading blank", " leading blank"},
      {"온도;21.5", "온도;21.5"},
      {"pump on, 5 V", "\"pump on, 5 V\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"a\rb", "\"a\rb\""},
      {"a\nb", "\"a\nb\""},
      {"a\r\n", "\"a\r\n\""},
  };
  for (const auto& [field, want] : cases) {
    std::string out = "x,";
    append_csv_field(out, field);
    EXPECT_EQ(out, "x," + want) << field;
  }
}

}  // namespace
}  // namespace lw
