#pragma once
// A short message for the user, with up to two actions. Any part of the
// program may produce one; the window shows one at a time, a new one
// replacing the old.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lw {

struct NoticeAction {
  enum class Kind : uint8_t {
    OpenFile,     // "Open": opens `path`
    OpenFolder,   // "Open folder": shows `path` in its folder
    Reconnect,    // "Reconnect": reopens the tab `session_id`
    OpenPage,     // "Open the download page": opens `url` in the browser
    StopSending,  // "Stop": ends the file being sent on the tab `session_id`
  };
  Kind kind = Kind::OpenFile;
  std::filesystem::path path;
  uint64_t session_id = 0;
  std::string url{};
};

struct Notice {
  std::string text;
  bool error = false;
  std::vector<NoticeAction> actions;  // at most two
};

}  // namespace lw
