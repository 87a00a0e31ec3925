#pragma once
// Linux only: ser2net on 127.0.0.1, started by the test with its own config
// on a free port, sharing a pseudo-terminal's far end as its serial device
// at 19200 baud (so that a test sees when ser2net, or a client through it,
// has set the line).
// It is killed by stop() or, whatever happened, by the destructor.
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace lw::test {

// A TCP port nobody listens on now.
inline uint16_t free_tcp_port() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  uint16_t port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

class Ser2net {
 public:
  // accepter: "telnet(rfc2217),tcp" or "tcp"; device: the pty's path.
  Ser2net(const std::filesystem::path& dir, const std::string& accepter, const std::string& device)
      : config_(dir / "ser2net.yaml"), port_(free_tcp_port()) {
    std::ofstream(config_) << "%YAML 1.1\n---\nconnection: &link\n  accepter: " << accepter
                           << ",127.0.0.1," << port_ << "\n  connector: serialdev," << device
                           << ",19200n81,local\n  options:\n    kickolduser: false\n";
  }
  ~Ser2net() { stop(); }
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  uint16_t port() const { return port_; }

  // Starts it and waits until it listens; an error text, empty on success.
  std::string start() {
    stop();
    pid_ = fork();
    if (pid_ < 0) return "fork failed";
    if (pid_ == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      execlp("ser2net", "ser2net", "-n", "-u", "-c", config_.c_str(), "-P",
             (config_.string() + ".pid").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listening()) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return "ser2net ended at start";
      }
      if (std::chrono::steady_clock::now() >= deadline) return "ser2net does not listen";
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }

  std::string stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    return {};
  }

 private:
  // Its socket in the LISTEN state (0A) in /proc/net/tcp.
  bool listening() const {
    std::ifstream in("/proc/net/tcp");
    std::string line;
    char want[16];
    std::snprintf(want, sizeof want, ":%04X ", port_);
    while (std::getline(in, line)) {
      const size_t local = line.find(want);
      if (local != std::string::npos && local < 20 && line.find(" 0A ") != std::string::npos)
        return true;
    }
    return false;
  }

  std::filesystem::path config_;
  uint16_t port_;
  pid_t pid_ = -1;
};

}  // namespace lw::test
