#pragma once
// A file that is always created new: opening fails when the name is taken,
// so a values CSV never writes into an older file.
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "base/result.h"

namespace lw {

struct NewFileError {
  bool exists = false;  // the name is taken; try the next one
  Error error;
};

class NewFile {
 public:
  NewFile() = default;
  NewFile(NewFile&& o) noexcept : handle_(o.handle_) { o.handle_ = kNone; }
  NewFile& operator=(NewFile&& o) noexcept;
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile() { close(); }

  static Result<NewFile, NewFileError> create(const std::filesystem::path& path);

  bool is_open() const { return handle_ != kNone; }
  Status write(std::string_view data);
  void close();

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;  // a descriptor or a HANDLE
};

}  // namespace lw
