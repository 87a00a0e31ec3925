#pragma once
// A lock folder of the test program's own, so tests never touch /run/lock;
// it goes when the program ends.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "serial/port_locks.h"

namespace lw::test {

struct LockFolder {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("lw-locks-" + std::to_string(::getpid()));
  LockFolder() { std::filesystem::create_directories(dir); }
  ~LockFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

inline const std::filesystem::path& test_lock_folder() {
  static const LockFolder folder;
  return folder.dir;
}

inline LockPlaces test_lock_places() { return LockPlaces{{test_lock_folder()}}; }

}  // namespace lw::test
