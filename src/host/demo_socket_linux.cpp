#include "host/demo_socket_linux.h"

#include <errno.h>
#include <glib-unix.h>
#include <glib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/system_error.h"

namespace lw {
namespace {

Error sys_error(const std::string& what) { return errno_error(errno, what); }

// The folder exists, is a real folder of this user's and nobody else's.
Status make_private_folder(const std::filesystem::path& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return fail(sys_error(folder.string()));
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) return fail(sys_error(folder.string()));
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid())
    return fail(Error{0, folder.string() + " is not a folder of this user's"});
  if ((st.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0)
    return fail(sys_error(folder.string()));
  return {};
}

bool fill_address(const std::filesystem::path& path, sockaddr_un& addr) {
  const std::string& p = path.native();
  if (p.size() >= sizeof addr.sun_path) return false;
  addr = sockaddr_un{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
  return true;
}

sockaddr* as_sockaddr(sockaddr_un& addr) { return reinterpret_cast<sockaddr*>(&addr); }

// Whether a running program answers on the socket at path.
bool someone_listens(const sockaddr_un& addr) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un a = addr;
  const bool answered = connect(fd, as_sockaddr(a), sizeof a) == 0;
  close(fd);
  return answered;
}

}  // namespace

std::filesystem::path default_demo_socket_path() {
  std::filesystem::path base;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
    base = runtime;
  else
    base = g_get_tmp_dir();
  return base / "linewick" / "demo.sock";
}

Result<std::unique_ptr<DemoSocket>> DemoSocket::open(
    const std::filesystem::path& path, std::function<void(const AppMessage&)> on_message) {
  sockaddr_un addr{};
  if (!fill_address(path, addr)) return fail(Error{0, path.string() + ": path too long"});
  if (Status s = make_private_folder(path.parent_path()); !s) return fail(s.error());

  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) return fail(Error{0, path.string() + " is not a socket"});
    if (someone_listens(addr)) return fail(Error{0, path.string() + " is in use"});
    unlink(path.c_str());  // left behind by a copy that ended without cleaning up
  }

  std::unique_ptr<DemoSocket> d(new DemoSocket());
  d->path_ = path;
  d->on_message_ = std::move(on_message);
  d->listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (d->listen_fd_ < 0) return fail(sys_error("socket"));
  if (bind(d->listen_fd_, as_sockaddr(addr), sizeof addr) != 0) return fail(sys_error("bind"));
  // The folder already keeps others out; the socket's own mode says so too.
  if (chmod(path.c_str(), 0600) != 0 || lstat(path.c_str(), &st) != 0) {
    Error e = sys_error(path.string());
    unlink(path.c_str());
    return fail(e);
  }
  d->inode_ = st.st_ino;
  if (listen(d->listen_fd_, 8) != 0) {
    Error e = sys_error("listen");
    unlink(path.c_str());
    return fail(e);
  }
  d->listen_source_ = g_unix_fd_add(
      d->listen_fd_, G_IO_IN,
      [](gint, GIOCondition, gpointer self) -> gboolean {
        static_cast<DemoSocket*>(self)->accept_clients();
        return G_SOURCE_CONTINUE;
      },
      d.get());
  return d;
}

DemoSocket::~DemoSocket() {
  while (!clients_.empty()) drop_client(clients_.back().get());
  if (listen_source_ != 0) g_source_remove(listen_source_);
  if (listen_fd_ >= 0) close(listen_fd_);
  struct stat st {};
  if (inode_ != 0 && lstat(path_.c_str(), &st) == 0 && st.st_ino == inode_) {
    unlink(path_.c_str());
    rmdir(path_.parent_path().c_str());  // only if nothing else is in it
  }
}

void DemoSocket::accept_clients() {
  while (true) {
    const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    ucred cred{};
    socklen_t len = sizeof cred;
    const bool same_user =
        getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
    if (!same_user || clients_.size() >= kMaxClients) {
      close(fd);
      continue;
    }
    auto c = std::make_unique<Client>();
    c->owner = this;
    c->fd = fd;
    c->source = g_unix_fd_add(
        fd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
        [](gint, GIOCondition, gpointer p) -> gboolean {
          auto* client = static_cast<Client*>(p);
          if (client->owner->read_client(*client)) return G_SOURCE_CONTINUE;
          // Returning REMOVE ends the source; the client must not remove it again.
          client->source = 0;
          client->owner->drop_client(client);
          return G_SOURCE_REMOVE;
        },
        c.get());
    clients_.push_back(std::move(c));
  }
}

bool DemoSocket::read_client(Client& c) {
  std::array<char, 512> buf;
  while (true) {
    const ssize_t n = read(c.fd, buf.data(), buf.size());
    if (n > 0) {
      c.lines.feed(std::string_view(buf.data(), static_cast<size_t>(n)),
                   [this](std::string_view line) { take_line(line); });
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    // End of stream: a last line without its LF still counts.
    if (std::optional<std::string> rest = c.lines.finish()) take_line(*rest);
    return false;
  }
}

void DemoSocket::drop_client(Client* c) {
  if (c->source != 0) g_source_remove(c->source);
  close(c->fd);
  std::erase_if(clients_, [c](const std::unique_ptr<Client>& p) { return p.get() == c; });
}

void DemoSocket::take_line(std::string_view line) {
  if (std::optional<AppMessage> msg = parse_demo_control_line(line)) on_message_(*msg);
}

}  // namespace lw
