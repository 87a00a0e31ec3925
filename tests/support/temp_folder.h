#pragma once
// A fresh folder under the system's temporary folder, removed afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace lw::test {

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("lw-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  static std::string read(const std::filesystem::path& p) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(p, ec);
    if (ec) return "(missing)";
    std::ifstream in(p, std::ios::binary);
    std::string out(static_cast<size_t>(size), '\0');
    in.read(out.data(), static_cast<std::streamsize>(out.size()));
    return in ? out : std::string("(unreadable)");
  }
  // File names in the folder, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) {
      const std::u8string n = e.path().filename().u8string();
      out.emplace_back(n.begin(), n.end());
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  static void write(const std::filesystem::path& p, const std::string& content) {
    std::ofstream out(p, std::ios::binary);
    out << content;
  }

  std::filesystem::path dir_;
};

}  // namespace lw::test
