#pragma once
// A file opened for appending, created if missing (or only ever created). Other programs may read
// it while it is open (a recording is often watched with a viewer).
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "base/result.h"

namespace lw {

struct CreateNewError {
  bool exists = false;  // the name is taken; try the next one
  Error error;
};

class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(AppendFile&& o) noexcept;
  AppendFile& operator=(AppendFile&& o) noexcept;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile();

  static Result<AppendFile> open(const std::filesystem::path& path);
  // Only a file that does not exist yet: opening fails when the name is
  // taken, so a values file never writes into an older one.
  static Result<AppendFile, CreateNewError> create_new(const std::filesystem::path& path);

  bool is_open() const { return handle_ != kNone; }
  // The file's length when it was opened.
  uint64_t initial_size() const { return initial_size_; }
  // All of data, in order. After a failure (a full disk), `written` says
  // how much of it did reach the file.
  Status write(std::string_view data, size_t* written = nullptr);
  void close();

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;  // a descriptor or a HANDLE
  uint64_t initial_size_ = 0;
};

}  // namespace lw
