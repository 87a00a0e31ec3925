// USB device names from udev's hardware database, for adapters whose
// firmware gives no product string.
#include <libudev.h>

#include <cstdio>
#include <memory>
#include <string_view>

#include "base/utf8.h"
#include "ports/sysfs_ports.h"

namespace lw {
namespace {

class Hwdb {
 public:
  ~Hwdb() {
    if (hwdb_ != nullptr) udev_hwdb_unref(hwdb_);
    if (udev_ != nullptr) udev_unref(udev_);
  }

  std::optional<std::string> name_of(UsbId id) {
    if (!opened_) open();
    if (hwdb_ == nullptr) return std::nullopt;
    // The keys the usb_id builtin looks up: upper-case hex digits.
    char modalias[32];
    std::snprintf(modalias, sizeof modalias, "usb:v%04Xp%04X", static_cast<unsigned>(id.vid),
                  static_cast<unsigned>(id.pid));
    std::optional<std::string> model;
    std::optional<std::string> vendor;
    udev_list_entry* e = udev_hwdb_get_properties_list_entry(hwdb_, modalias, 0);
    for (; e != nullptr; e = udev_list_entry_get_next(e)) {
      const std::string_view key = udev_list_entry_get_name(e);
      const char* value = udev_list_entry_get_value(e);
      if (value == nullptr || *value == '\0' || !is_valid_utf8(value)) continue;
      if (key == "ID_MODEL_FROM_DATABASE") model = value;
      if (key == "ID_VENDOR_FROM_DATABASE") vendor = value;
    }
    return model ? model : vendor;
  }

 private:
  void open() {
    opened_ = true;
    udev_ = udev_new();
    if (udev_ != nullptr) hwdb_ = udev_hwdb_new(udev_);
  }

  bool opened_ = false;
  udev* udev_ = nullptr;
  udev_hwdb* hwdb_ = nullptr;
};

}  // namespace

UsbNameLookup usb_database() {
  auto db = std::make_shared<Hwdb>();
  return [db](UsbId id) { return db->name_of(id); };
}

}  // namespace lw
