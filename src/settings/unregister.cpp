#include "settings/unregister.h"

#include <algorithm>

namespace lw {

bool wants_unregister(std::span<const std::string> args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == kUnregisterOption; });
}

bool wants_unregister(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] && kUnregisterOption == argv[i]) return true;
  }
  return false;
}

bool handle_unregister(std::span<const std::string> args, Settings& s) {
  if (!wants_unregister(args)) return false;
  s.forget_all();
  return true;
}

bool handle_unregister(int argc, const char* const* argv, Settings& s) {
  if (!wants_unregister(argc, argv)) return false;
  s.forget_all();
  return true;
}

}  // namespace lw
