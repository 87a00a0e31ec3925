#include "host/device_watch_linux.h"

#include <glib-unix.h>
#include <libudev.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace lw {

bool dev_name_may_be_port(std::string_view name) {
  return name.starts_with("tty") || name.starts_with("rfcomm");
}

std::unique_ptr<DeviceWatch> DeviceWatch::start(std::function<void()> on_change,
                                                const DeviceWatchPaths& paths) {
  std::unique_ptr<DeviceWatch> w(new DeviceWatch());
  w->on_change_ = std::move(on_change);
  // Without the daemon the monitor would open fine and never hear a thing.
  const bool udev_runs = access(paths.udev_control.c_str(), F_OK) == 0;
  if (udev_runs && w->start_udev()) return w;
  if (w->start_inotify(paths.dev)) return w;
  return nullptr;
}

DeviceWatch::~DeviceWatch() {
  if (watch_source_ != 0) g_source_remove(watch_source_);
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (udev_ != nullptr) udev_unref(udev_);
  if (inotify_fd_ >= 0) close(inotify_fd_);
}

bool DeviceWatch::start_udev() {
  udev_ = udev_new();
  if (udev_ == nullptr) return false;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr ||
      udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    return false;
  }
  source_ = Source::Udev;
  watch_fd(udev_monitor_get_fd(monitor_));
  return true;
}

bool DeviceWatch::start_inotify(const std::string& dev) {
  inotify_fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify_fd_ < 0) return false;
  if (inotify_add_watch(inotify_fd_, dev.c_str(), IN_CREATE | IN_DELETE | IN_ATTRIB) < 0) {
    close(inotify_fd_);
    inotify_fd_ = -1;
    return false;
  }
  source_ = Source::Inotify;
  watch_fd(inotify_fd_);
  return true;
}

void DeviceWatch::watch_fd(int fd) {
  watch_source_ = g_unix_fd_add(
      fd, G_IO_IN,
      [](gint, GIOCondition, gpointer self) -> gboolean {
        static_cast<DeviceWatch*>(self)->readable();
        return G_SOURCE_CONTINUE;
      },
      this);
}

void DeviceWatch::readable() {
  const bool changed = source_ == Source::Udev ? read_udev() : read_inotify();
  if (changed) on_change_();
}

bool DeviceWatch::read_udev() {
  bool any = false;
  // The monitor's socket is non-blocking: read until it runs dry.
  while (udev_device* d = udev_monitor_receive_device(monitor_)) {
    udev_device_unref(d);
    any = true;
  }
  return any;
}

bool DeviceWatch::read_inotify() {
  bool any = false;
  alignas(inotify_event) std::array<char, 4096> buf;
  while (true) {
    const ssize_t n = read(inotify_fd_, buf.data(), buf.size());
    if (n <= 0) break;
    for (size_t at = 0; at + sizeof(inotify_event) <= static_cast<size_t>(n);) {
      inotify_event ev;
      std::memcpy(&ev, buf.data() + at, sizeof ev);
      const char* name = buf.data() + at + sizeof(inotify_event);
      if ((ev.mask & IN_Q_OVERFLOW) != 0) {
        any = true;  // events were lost: assume the worst
      } else if (ev.len > 0 &&
                 dev_name_may_be_port(std::string_view(name, strnlen(name, ev.len)))) {
        any = true;
      }
      at += sizeof(inotify_event) + ev.len;
    }
  }
  return any;
}

}  // namespace lw
