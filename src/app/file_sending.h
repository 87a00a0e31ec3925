#pragma once
// A file being sent on a tab: what is left of it and how far the port got.
#include <memory>
#include <string>

#include "send/file_send.h"
#include "session/channel.h"

namespace lw {

struct FileSending {
  std::string name;  // the file's name, for notices and the mark
  FileSend file;
  std::weak_ptr<ReaderChannel> channel;  // the connection it goes to
  uint64_t sent_before = 0;              // the channel's bytes_sent at the start
  uint64_t written = 0;                  // bytes of the file the port took
  int64_t shown_at = 0;                  // when the progress notice last changed
};

}  // namespace lw
