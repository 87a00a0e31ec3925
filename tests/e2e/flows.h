#pragma once
// Flows of the real application on the headless host with simulated
// devices, replayed as driver scripts; each test gets its own log folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/utf8_path.h"
#include "script.h"

namespace lw {

inline constexpr const char* kDevices =
    "COM3=Arduino Uno=2341:0043:SER1;!COM9=Spare board=10C4:EA60:0001";

class Flows : public ::testing::Test {
 protected:
  Flows() {
    docs = std::filesystem::temp_directory_path() /
           ("linewick-flows-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(docs);
  }
  ~Flows() override { std::filesystem::remove_all(docs); }

  ScriptResult run(const std::string& script) {
    ScriptOptions o;
    o.args = {"--demo", kDevices, "--docs", utf8_from_path(docs)};
    ScriptResult r = run_script(o, script);
    EXPECT_TRUE(r.ok) << r.error << "\n" << r.output;
    return r;
  }
  std::vector<std::filesystem::path> files() const {
    std::vector<std::filesystem::path> out;
    if (std::filesystem::exists(docs)) {
      for (const auto& e : std::filesystem::directory_iterator(docs)) out.push_back(e.path());
    }
    return out;
  }
  static std::string read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path docs;
};

}  // namespace lw
