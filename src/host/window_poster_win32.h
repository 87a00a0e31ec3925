#pragma once
// Posting application messages to the window from any thread. Posts before
// the window exists or after it is destroyed are dropped.
#include <windows.h>

#include <mutex>

#include "app/host.h"
#include "host/window_rules_win32.h"

namespace lw {

class WindowPoster final : public MessagePoster {
 public:
  bool post(const AppMessage& msg) override {
    std::lock_guard lock(mutex_);
    if (window_ == nullptr) return false;
    return PostMessageW(window_, window_message_for(msg.number), static_cast<WPARAM>(msg.param1),
                        static_cast<LPARAM>(msg.param2)) != FALSE;
  }
  void attach(HWND window) {
    std::lock_guard lock(mutex_);
    window_ = window;
  }
  void close() { attach(nullptr); }

 private:
  std::mutex mutex_;
  HWND window_ = nullptr;
};

}  // namespace lw
