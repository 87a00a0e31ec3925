#include <gtest/gtest.h>
#include <sys/stat.h>

#include "update/fakes.h"
#include "update/work_files.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

TEST(WorkFolder, OthersCannotWriteIntoIt) {
  test::TempFolder temp;
  const fs::path folder = temp.path() / "Linewick-test";
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
  ASSERT_TRUE(ensure_private_folder(folder).ok());
  const fs::perms p = fs::status(folder).permissions();
  EXPECT_EQ(p & (fs::perms::group_write | fs::perms::others_write), fs::perms::none);
  EXPECT_EQ(p & fs::perms::owner_all, fs::perms::owner_all);
}

TEST(WorkFolder, ALinkInItsPlaceIsRefused) {
  test::TempFolder temp;
  const fs::path elsewhere = temp.path() / "elsewhere";
  fs::create_directories(elsewhere);
  const fs::path folder = temp.path() / "Linewick-test";
  fs::create_directory_symlink(elsewhere, folder);
  const Status made = ensure_private_folder(folder);
  ASSERT_FALSE(made.ok());
  EXPECT_FALSE(made.error().text.empty());
}

}  // namespace
}  // namespace lw
