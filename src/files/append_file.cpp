#include "files/append_file.h"

#include <utility>

namespace lw {

AppendFile::AppendFile(AppendFile&& o) noexcept
    : handle_(std::exchange(o.handle_, kNone)), initial_size_(o.initial_size_) {}

AppendFile& AppendFile::operator=(AppendFile&& o) noexcept {
  if (this != &o) {
    close();
    handle_ = std::exchange(o.handle_, kNone);
    initial_size_ = o.initial_size_;
  }
  return *this;
}

AppendFile::~AppendFile() { close(); }

}  // namespace lw
