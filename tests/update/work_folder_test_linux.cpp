#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "update/fakes.h"
#include "update/fresh_file_linux.h"
#include "update/platform.h"
#include "update/work_files.h"
#include "update/workers.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

mode_t mode_of(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(lstat(p.c_str(), &st), 0);
  return st.st_mode & 07777;
}

TEST(WorkFolder, MadePrivateOrRefused) {
  struct Case {
    const char* name;
    mode_t mode;  // 0: not there yet
    bool ok;
  };
  const Case cases[] = {
      {"made here", 0, true},
      {"already private", 0700, true},
      {"readable by others", 0755, true},
      {"writable by the group", 0770, false},
      {"writable by anyone", 0777, false},
      {"anyone, sticky", 01777, false},
  };
  for (const Case& c : cases) {
    test::TempFolder temp;
    const fs::path folder = temp.path() / "Linewick-test";
    if (c.mode != 0) {
      ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
      ASSERT_EQ(chmod(folder.c_str(), c.mode), 0);
    }
    const Status made = ensure_private_folder(folder);
    EXPECT_EQ(made.ok(), c.ok) << c.name;
    if (made.ok()) {
      EXPECT_EQ(mode_of(folder), 0700u) << c.name;
    } else {
      EXPECT_EQ(mode_of(folder), c.mode) << c.name;  // left as it was
      EXPECT_NE(made.error().text.find("Linewick-test"), std::string::npos) << c.name;
    }
  }
}

TEST(WorkFolder, ALinkInItsPlaceOrAnotherOwnerIsRefused) {
  test::TempFolder temp;
  const fs::path elsewhere = temp.path() / "elsewhere";
  fs::create_directories(elsewhere);
  fs::permissions(elsewhere, fs::perms::owner_all, fs::perm_options::replace);
  const fs::path link = temp.path() / "Linewick-link";
  fs::create_directory_symlink(elsewhere, link);
  EXPECT_FALSE(ensure_private_folder(link).ok());

  if (geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
  const fs::path foreign = temp.path() / "Linewick-foreign";
  ASSERT_EQ(mkdir(foreign.c_str(), 0700), 0);
  ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
  EXPECT_FALSE(ensure_private_folder(foreign).ok());
}

TEST(WorkFolder, FreshFilesNeverFollowWhatIsPlanted) {
  test::TempFolder temp;
  const fs::path victim = temp.path() / "victim";
  std::ofstream(victim) << "precious";
  const fs::path file = temp.path() / "update.json";
  fs::create_symlink(victim, file);

  Result<int> fd = create_fresh_file(file);
  ASSERT_TRUE(fd.ok()) << fd.error().text;
  ASSERT_EQ(write(*fd, "new", 3), 3);
  close(*fd);
  EXPECT_FALSE(fs::is_symlink(file));
  EXPECT_EQ(read_text(file), "new");
  EXPECT_EQ(read_text(victim), "precious");
  EXPECT_EQ(mode_of(file), 0600u);
}

// The whole check with the real download code: a link planted as
// update.json in the work folder is removed, never written through. The
// address is a closed port, so nothing leaves the machine.
TEST(WorkFolder, ACheckDoesNotFollowAPlantedLink) {
  test::TempFolder temp;
  const fs::path victim = temp.path() / "victim";
  std::ofstream(victim) << "precious";
  const fs::path work = temp.path() / "Linewick";
  ASSERT_TRUE(ensure_private_folder(work).ok());
  fs::create_symlink(victim, work / "update.json");

  const std::shared_ptr<UpdatePlatform> platform = make_update_platform();
  const CheckResult r = run_check(
      *platform, UpdateConfig{"https://127.0.0.1:1/Linewick/update.json", work}, "en", true);
  EXPECT_EQ(r.kind, CheckResult::Kind::Error);
  EXPECT_EQ(read_text(victim), "precious");
  EXPECT_TRUE(test::TempFolder::names_in(work).empty());
}

}  // namespace
}  // namespace lw
