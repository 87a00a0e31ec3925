#pragma once
// A disk that fills up, made with the file-size limit: a write past it fails
// as on a full disk, without root or a small file system.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

namespace lw::test {

// Caps the size of any file this process writes; the signal a write past
// the cap raises is ignored, so the write fails with an error instead.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    set(bytes);
  }
  ~FileSizeCap() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_handler_);
  }
  void set(rlim_t bytes) {
    rlimit r = saved_;
    r.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &r), 0);
  }
  void lift() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
  void (*old_handler_)(int) = SIG_DFL;
};

}  // namespace lw::test
