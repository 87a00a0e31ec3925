#include "lab/new_file.h"

namespace lw {

NewFile& NewFile::operator=(NewFile&& o) noexcept {
  if (this != &o) {
    close();
    handle_ = o.handle_;
    o.handle_ = kNone;
  }
  return *this;
}

}  // namespace lw
