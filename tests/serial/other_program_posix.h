#pragma once
// Linux only: another program using a serial port, as a flasher would: it
// opens the port (keeping one of the conventions, or none), holds it, writes
// to the device, closes it and ends. A forked process driven over a pipe;
// after the fork it makes nothing but system calls, so reader threads of the
// test do no harm.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace lw::test {

class OtherProgram {
 public:
  enum class Lock {
    none,       // a plain open, as a quick script would
    uucp,       // a UUCP lock file with its pid, removed when it closes
    exclusive,  // flock and exclusive mode (TIOCEXCL), cleared when it closes
  };

  // lock_file: where the UUCP lock goes (Lock::uucp only).
  OtherProgram(const std::string& port, Lock lock, const std::string& lock_file = {}) {
    int cmd[2];
    int ack[2];
    if (::pipe(cmd) != 0) return;
    if (::pipe(ack) != 0) {
      ::close(cmd[0]);
      ::close(cmd[1]);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) run(port.c_str(), lock, lock_file.c_str(), cmd[0], ack[1]);
    ::close(cmd[0]);
    ::close(ack[1]);
    cmd_ = cmd[1];
    ack_ = ack[0];
  }
  ~OtherProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (cmd_ >= 0) ::close(cmd_);
    if (ack_ >= 0) ::close(ack_);
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

  pid_t pid() const { return pid_; }
  // It has the port open (and locked as it does).
  bool opened() { return answer() == 'o'; }
  // It wrote `bytes` (at most 64) to the device.
  bool write(const std::string& bytes) {
    const char c = 'w';
    const auto n = static_cast<char>(bytes.size());
    return bytes.size() <= 64 && send(&c, 1) && send(&n, 1) && send(bytes.data(), bytes.size()) &&
           answer() == 'w';
  }
  // It closed the port and gave up its locks; then it ends.
  bool close_port() {
    const char c = 'c';
    if (!send(&c, 1) || answer() != 'c') return false;
    const pid_t pid = std::exchange(pid_, -1);
    return ::waitpid(pid, nullptr, 0) == pid;
  }

 private:
  bool send(const char* p, size_t n) { return ::write(cmd_, p, n) == static_cast<ssize_t>(n); }
  char answer() {
    char c = 0;
    return ::read(ack_, &c, 1) == 1 ? c : 0;
  }

  [[noreturn]] static void run(const char* port, Lock lock, const char* lock_file, int cmd,
                               int ack) {
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != cmd && fd != ack) ::close(fd);
    }
    // A port still held for a moment (the test's reader on a very busy
    // machine) is refused: try again, as a person would.
    int fd = -1;
    for (int i = 0; i < 2000 && fd < 0; ++i) {
      fd = take(port, lock, lock_file);
      if (fd < 0) pause_ms(5);
    }
    if (fd < 0 || !say(ack, 'o')) ::_exit(1);
    for (;;) {
      char c = 0;
      if (::read(cmd, &c, 1) != 1) ::_exit(1);
      if (c == 'w') {
        unsigned char n = 0;
        char bytes[64];
        if (::read(cmd, &n, 1) != 1 || n > sizeof bytes || ::read(cmd, bytes, n) != n) ::_exit(1);
        if (::write(fd, bytes, n) != n || !say(ack, 'w')) ::_exit(1);
      } else if (c == 'c') {
        if (lock == Lock::exclusive) ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        if (lock == Lock::uucp) ::unlink(lock_file);
        (void)say(ack, 'c');
        ::_exit(0);
      }
    }
  }
  // Opens the port and locks it as `lock` says; -1 when it is not to be had.
  static int take(const char* port, Lock lock, const char* lock_file) {
    const int fd = ::open(port, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    const bool locked = lock == Lock::none || (lock == Lock::uucp && write_lock(lock_file)) ||
                        (lock == Lock::exclusive && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                         ::ioctl(fd, TIOCEXCL) == 0);
    if (!locked) ::close(fd);
    return locked ? fd : -1;
  }
  static bool say(int fd, char c) { return ::write(fd, &c, 1) == 1; }
  static void pause_ms(long ms) {
    timespec t{0, ms * 1'000'000L};
    ::nanosleep(&t, nullptr);
  }
  // "      1234\n", as UUCP lock files hold a pid.
  static bool write_lock(const char* file) {
    char text[11];
    long pid = ::getpid();
    for (int i = 9; i >= 0; --i) {
      text[i] = pid > 0 || i == 9 ? static_cast<char>('0' + pid % 10) : ' ';
      pid /= 10;
    }
    text[10] = '\n';
    const int fd = ::open(file, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text, sizeof text) == static_cast<ssize_t>(sizeof text);
    ::close(fd);
    return ok;
  }

  pid_t pid_ = -1;
  int cmd_ = -1;
  int ack_ = -1;
};

}  // namespace lw::test
