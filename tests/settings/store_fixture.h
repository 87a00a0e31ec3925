#pragma once
// Runs a test against each store the build has: the settings file in a
// temporary folder, and on Windows also a scratch key of HKCU.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "settings/settings.h"

namespace lw::test {

enum class StoreKind { File, Registry };

std::string store_kind_name(const testing::TestParamInfo<StoreKind>& info);
// The kinds of this build.
std::vector<StoreKind> store_kinds();

// A fresh, empty folder under the system's temporary folder, removed again
// when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class StoreTest : public testing::TestWithParam<StoreKind> {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Another store object over the same place, as a second program would see it.
  std::unique_ptr<Settings> open_again() const;
  // True when nothing at all is left of the store (no file, no key).
  bool store_gone() const;

  std::unique_ptr<Settings> store_;
  std::unique_ptr<TempFolder> folder_;
  std::string registry_key_;
};

}  // namespace lw::test
