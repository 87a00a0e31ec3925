#include "app/command_line.h"

namespace lw {

CommandLine parse_command_line(std::span<const std::string> args) {
  CommandLine c;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--unregister") {
      c.unregister = true;
    } else if (a == "--demo" && has_value) {
      c.demo = args[++i];
    } else if (a == "--docs" && has_value) {
      c.docs = args[++i];
    } else if (a == "--port" && has_value) {
      c.ports.push_back(args[++i]);
    } else if (a == "--replay" && has_value) {
      c.replay = args[++i];
    }
  }
  return c;
}

}  // namespace lw
