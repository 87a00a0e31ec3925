#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "glib_wait_linux.h"
#include "host/demo_socket_linux.h"
#include "temp_dir_linux.h"

namespace lw {
namespace {

using test::run_loop_for;
using test::run_loop_until;

// A connected client socket, or -1.
int connect_to(const std::filesystem::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void send_text(int fd, std::string_view text) {
  ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

unsigned mode_of(const std::filesystem::path& p) {
  struct stat st {};
  if (lstat(p.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

class DemoSocketTest : public test::TempDirTest {
 protected:
  std::filesystem::path sock() const { return dir_ / "linewick" / "demo.sock"; }
  std::unique_ptr<DemoSocket> open_socket() {
    auto r = DemoSocket::open(sock(), [this](const AppMessage& m) { got.push_back(m); });
    EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().text);
    return r.ok() ? std::move(*r) : nullptr;
  }
  std::vector<AppMessage> got;
};

TEST_F(DemoSocketTest, LinesBecomeMessagesInOrder) {
  auto s = open_socket();
  ASSERT_NE(s, nullptr);
  const int fd = connect_to(sock());
  ASSERT_GE(fd, 0);
  send_text(fd, "30 1\n31 500");
  send_text(fd, " 10\nnot a command\n34 1\n32 1");  // the last one without its LF
  close(fd);
  ASSERT_TRUE(run_loop_until([&] { return got.size() >= 3; }));
  run_loop_for(50);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].number, 30);
  EXPECT_EQ(got[0].param1, 1u);
  EXPECT_EQ(got[1].number, 31);
  EXPECT_EQ(got[1].param1, 500u);
  EXPECT_EQ(got[1].param2, 10);
  EXPECT_EQ(got[2].number, 32);
  EXPECT_EQ(got[2].param1, 1u);
}

TEST_F(DemoSocketTest, ClientsAreReadSideBySide) {
  auto s = open_socket();
  ASSERT_NE(s, nullptr);
  const int a = connect_to(sock());
  const int b = connect_to(sock());
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  send_text(a, "30 ");
  send_text(b, "30 2\n");
  ASSERT_TRUE(run_loop_until([&] { return got.size() == 1; }));
  EXPECT_EQ(got[0].param1, 2u);
  send_text(a, "1\n");  // a's line was kept apart from b's
  ASSERT_TRUE(run_loop_until([&] { return got.size() == 2; }));
  EXPECT_EQ(got[1].param1, 1u);
  close(a);
  close(b);
}

TEST_F(DemoSocketTest, OwnerOnlyAndRemovedAtTheEnd) {
  std::filesystem::create_directories(dir_ / "linewick");
  ASSERT_EQ(chmod((dir_ / "linewick").c_str(), 0755), 0);  // too open: tightened
  auto s = open_socket();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(mode_of(dir_ / "linewick"), 0700u);
  EXPECT_EQ(mode_of(sock()), 0600u);
  s.reset();
  EXPECT_FALSE(std::filesystem::exists(sock()));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "linewick"));
}

TEST_F(DemoSocketTest, ReplacesALeftoverButNotALiveOne) {
  {
    // A socket file whose program has gone.
    std::filesystem::create_directories(dir_ / "linewick");
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, sock().c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(fd);
  }
  auto first = open_socket();
  ASSERT_NE(first, nullptr);

  auto second = DemoSocket::open(sock(), [](const AppMessage&) {});
  EXPECT_FALSE(second.ok());
  // The failed attempt left the live socket alone, and ending it removes nothing.
  const int fd = connect_to(sock());
  ASSERT_GE(fd, 0);
  send_text(fd, "30 0\n");
  close(fd);
  EXPECT_TRUE(run_loop_until([&] { return got.size() == 1; }));
}

TEST_F(DemoSocketTest, NeverTakesOverSomethingElse) {
  std::filesystem::create_directories(dir_ / "linewick");
  std::ofstream(sock()) << "mine";
  EXPECT_FALSE(DemoSocket::open(sock(), [](const AppMessage&) {}).ok());
  EXPECT_TRUE(std::filesystem::is_regular_file(sock()));
  // Nor a file where the folder should be.
  std::filesystem::remove_all(dir_ / "linewick");
  std::ofstream(dir_ / "linewick") << "mine";
  EXPECT_FALSE(DemoSocket::open(sock(), [](const AppMessage&) {}).ok());
}

TEST(DemoSocketPath, RuntimeFolderElseTemp) {
  std::optional<std::string> saved;
  if (const char* v = std::getenv("XDG_RUNTIME_DIR")) saved = v;
  setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
  EXPECT_EQ(default_demo_socket_path(), std::filesystem::path("/run/user/1234/linewick/demo.sock"));
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(default_demo_socket_path().parent_path().filename(), "linewick");
  EXPECT_EQ(default_demo_socket_path().filename(), "demo.sock");
  if (saved) setenv("XDG_RUNTIME_DIR", saved->c_str(), 1);
}

}  // namespace
}  // namespace lw
