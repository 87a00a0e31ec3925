#pragma once
// The control socket of simulated-device mode: any process of the same user
// may connect and write lines of demo_control.h ("30 1"); each accepted line
// is handed on as its application message. The socket lives in a folder only
// the user can enter and is itself owner-only; it is removed when this
// object goes.
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/host.h"
#include "base/result.h"
#include "host/demo_control.h"

namespace lw {

// $XDG_RUNTIME_DIR/linewick/demo.sock, else linewick/demo.sock in the
// temporary folder.
std::filesystem::path default_demo_socket_path();

class DemoSocket {
 public:
  // Fails when the folder can't be made private to the user, when another
  // running copy already listens there, or when the path is something other
  // than a socket. A socket left behind by a copy that died is replaced.
  static Result<std::unique_ptr<DemoSocket>> open(
      const std::filesystem::path& path, std::function<void(const AppMessage&)> on_message);
  ~DemoSocket();
  DemoSocket(const DemoSocket&) = delete;
  DemoSocket& operator=(const DemoSocket&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  struct Client {
    DemoSocket* owner = nullptr;
    int fd = -1;
    unsigned source = 0;
    DemoLineBuffer lines;
  };
  static constexpr size_t kMaxClients = 8;

  DemoSocket() = default;
  void accept_clients();
  // False when the connection is done (end of stream or an error).
  bool read_client(Client& c);
  void drop_client(Client* c);
  void take_line(std::string_view line);

  std::filesystem::path path_;
  std::function<void(const AppMessage&)> on_message_;
  int listen_fd_ = -1;
  unsigned listen_source_ = 0;
  unsigned long long inode_ = 0;  // ours, so exit removes only our own socket
  std::vector<std::unique_ptr<Client>> clients_;
};

}  // namespace lw
