#include "update/processes_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <thread>

extern char** environ;

namespace lw::test {

namespace {

using Clock = std::chrono::steady_clock;

// Spawns with stdin from /dev/null, stderr to log and stdout to log or to
// stdout_fd.
pid_t spawn(const std::vector<std::string>& argv, const std::filesystem::path& log, int stdout_fd) {
  std::vector<std::string> owned = argv;
  std::vector<char*> args;
  for (std::string& a : owned) args.push_back(a.data());
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  if (stdout_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, stdout_fd, 1);
  } else {
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
  }
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// The exit status, or -1 when the child was killed at the deadline.
int wait_until(pid_t pid, Clock::time_point deadline) {
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

bool on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string dir(rest.substr(0, colon));
    if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return false;
}

int run_tool(const std::vector<std::string>& argv, const std::filesystem::path& log,
             std::chrono::seconds limit) {
  const pid_t pid = spawn(argv, log, -1);
  if (pid < 0) return -1;
  return wait_until(pid, Clock::now() + limit);
}

bool ServerProcess::start(const std::vector<std::string>& argv, const std::filesystem::path& log,
                          std::chrono::seconds limit) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  pid_ = spawn(argv, log, fds[1]);
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    return false;
  }
  std::string line;
  const auto deadline = Clock::now() + limit;
  while (line.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
    char buffer[64];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) {
    stop();
    return false;
  }
  return true;
}

void ServerProcess::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  // Reaped either way; past the limit it is killed.
  (void)wait_until(pid_, Clock::now() + std::chrono::seconds(10));
  pid_ = -1;
}

}  // namespace lw::test
