#pragma once
// Where device changes come from on Linux: a udev monitor on the tty
// subsystem, or, where no udev daemon runs (containers, minimal systems),
// inotify on /dev. Either one is read inside the GLib main loop.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct udev;
struct udev_monitor;

namespace lw {

// A name in /dev that may be a serial port's node (ttyUSB0, ttyACM1, ttyS0,
// rfcomm0, ...); other entries coming and going are not worth a rescan.
bool dev_name_may_be_port(std::string_view name);

struct DeviceWatchPaths {
  std::string udev_control = "/run/udev/control";  // exists while udevd runs
  std::string dev = "/dev";
};

class DeviceWatch {
 public:
  enum class Source { Udev, Inotify };

  // on_change runs on the main loop once per batch of events that may have
  // changed the set of ports. Null when neither source could be set up (the
  // program then learns of nothing, as on a system without notifications).
  static std::unique_ptr<DeviceWatch> start(std::function<void()> on_change,
                                            const DeviceWatchPaths& paths = {});
  ~DeviceWatch();
  DeviceWatch(const DeviceWatch&) = delete;
  DeviceWatch& operator=(const DeviceWatch&) = delete;

  Source source() const { return source_; }

 private:
  DeviceWatch() = default;
  bool start_udev();
  bool start_inotify(const std::string& dev);
  void watch_fd(int fd);
  void readable();
  bool read_udev();
  bool read_inotify();

  std::function<void()> on_change_;
  Source source_ = Source::Udev;
  ::udev* udev_ = nullptr;
  ::udev_monitor* monitor_ = nullptr;
  int inotify_fd_ = -1;
  unsigned watch_source_ = 0;
};

}  // namespace lw
