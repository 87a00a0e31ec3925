#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "glib_wait_linux.h"
#include "host/device_watch_linux.h"
#include "temp_dir_linux.h"

namespace lw {
namespace {

using test::run_loop_for;
using test::run_loop_until;

TEST(DevNames, OnlySerialLookingNamesCount) {
  for (const char* yes : {"ttyUSB0", "ttyACM12", "ttyS0", "ttyAMA0", "rfcomm0", "tty"})
    EXPECT_TRUE(dev_name_may_be_port(yes)) << yes;
  for (const char* no : {"", "sda1", "null", "pts", "hidraw0", "xtty", "TTYUSB0", "video0"})
    EXPECT_FALSE(dev_name_may_be_port(no)) << no;
}

class InotifyWatch : public test::TempDirTest {
 protected:
  DeviceWatchPaths paths() const {
    return DeviceWatchPaths{(dir_ / "no-udev-here").string(), dir_.string()};
  }
  void touch(const char* name) { std::ofstream(dir_ / name).put('x'); }
  int changes = 0;
};

TEST_F(InotifyWatch, WithoutUdevTheFolderIsWatched) {
  auto watch = DeviceWatch::start([&] { ++changes; }, paths());
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(watch->source(), DeviceWatch::Source::Inotify);

  touch("ttyUSB7");  // a node appears
  EXPECT_TRUE(run_loop_until([&] { return changes > 0; }));

  changes = 0;
  ASSERT_EQ(chmod((dir_ / "ttyUSB7").c_str(), 0600), 0);  // its rights change
  EXPECT_TRUE(run_loop_until([&] { return changes > 0; }));

  changes = 0;
  std::filesystem::remove(dir_ / "ttyUSB7");  // and it goes
  EXPECT_TRUE(run_loop_until([&] { return changes > 0; }));
}

TEST_F(InotifyWatch, OtherEntriesAreIgnored) {
  auto watch = DeviceWatch::start([&] { ++changes; }, paths());
  ASSERT_NE(watch, nullptr);
  touch("sda1");
  std::filesystem::create_directory(dir_ / "input");
  std::filesystem::remove(dir_ / "sda1");
  run_loop_for(150);
  EXPECT_EQ(changes, 0);
  // A port among other entries still counts.
  touch("video0");
  touch("ttyACM0");
  EXPECT_TRUE(run_loop_until([&] { return changes > 0; }));
}

TEST_F(InotifyWatch, GoneWatchHearsNothing) {
  auto watch = DeviceWatch::start([&] { ++changes; }, paths());
  ASSERT_NE(watch, nullptr);
  watch.reset();
  touch("ttyUSB0");
  run_loop_for(100);
  EXPECT_EQ(changes, 0);
}

TEST_F(InotifyWatch, NoSourceAtAll) {
  const DeviceWatchPaths missing{(dir_ / "none").string(), (dir_ / "no-such-folder").string()};
  EXPECT_EQ(DeviceWatch::start([] {}, missing), nullptr);
}

}  // namespace
}  // namespace lw
