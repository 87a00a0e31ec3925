#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>

#include "update/fakes.h"

namespace lw::test {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("lw-update-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> TempFolder::names_in(const std::filesystem::path& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::u8string n = entry.path().filename().u8string();
    out.emplace_back(n.begin(), n.end());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace lw::test
