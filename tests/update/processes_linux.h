#pragma once
// Running the tools the end-to-end test needs (openssl, gpg, python3) with
// a time limit, and a local web server that is always stopped again.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace lw::test {

// Whether `name` is an executable on PATH.
bool on_path(const std::string& name);

// Runs argv[0] (looked up on PATH) with stdin from /dev/null and stdout and
// stderr appended to `log`; a run past `limit` is killed. The exit status,
// or -1 when it couldn't start or was killed.
int run_tool(const std::vector<std::string>& argv, const std::filesystem::path& log,
             std::chrono::seconds limit = std::chrono::seconds(120));

// A child whose first line of output is its listening port.
class ServerProcess {
 public:
  ServerProcess() = default;
  ~ServerProcess() { stop(); }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // False when it didn't start or printed no port in time.
  bool start(const std::vector<std::string>& argv, const std::filesystem::path& log,
             std::chrono::seconds limit = std::chrono::seconds(30));
  int port() const { return port_; }
  // Ends it (SIGTERM, then SIGKILL) and waits for it.
  void stop();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace lw::test
