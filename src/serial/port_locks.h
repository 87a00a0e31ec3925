#pragma once
// How serial programs keep off each other's ports, and who holds a port.
//
// On Linux a port is held by whoever has an flock on it, a UUCP lock file
// for it with a live process id, exclusive mode (TIOCEXCL), or, without any
// of these, simply has it open. port_holder() names that program when the
// system lets this process see it. Windows lets only one program open a
// port and shows no holder.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/records.h"

namespace lw {

// The folders with UUCP lock files: all are searched for other programs'
// locks; this program's own lock goes into the first one that takes it.
// None that can be written is no reason not to open a port.
struct LockPlaces {
  std::vector<std::filesystem::path> dirs;
};

// /run/lock and /var/lock on Linux; none on Windows.
LockPlaces system_lock_places();

// Who, other than this process, holds the port at that device path: the live
// owner of its lock file, else a process seen with it open. Nothing when it
// looks free or its holder can't be seen.
std::optional<PortHolder> port_holder(const std::string& device_path, const LockPlaces& places);

// --- UUCP lock files (the same on every system) ---

// "LCK.." and the device's base name: /dev/ttyUSB0 is locked by LCK..ttyUSB0.
std::string uucp_lock_name(std::string_view device_path);
// The process id as ten right-aligned decimal digits and LF ("      1230\n").
std::string uucp_lock_text(int64_t pid);
// The process id a lock file names: decimal with blanks around it, or the
// old four-byte binary form. Nothing for anything else, which no live
// process can own.
std::optional<int64_t> uucp_lock_pid(std::string_view content);
// A process name as /proc/<pid>/comm holds it, without its line end.
std::string program_name(std::string_view comm);

}  // namespace lw
