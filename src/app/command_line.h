#pragma once
// The program's options. An option that is the last argument, with nothing
// after it, is ignored.
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lw {

struct CommandLine {
  bool unregister = false;            // "--unregister": forget the settings and exit
  std::optional<std::string> demo;    // "--demo LIST": simulated devices
  std::optional<std::string> docs;    // "--docs FOLDER": where files go
  std::vector<std::string> ports;     // "--port PATH", repeatable: tabs opened at start
  std::optional<std::string> replay;  // "--replay FILE": a log file replayed in a tab
};

CommandLine parse_command_line(std::span<const std::string> args);

}  // namespace lw
