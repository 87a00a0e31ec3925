#pragma once
// Runs the real application on the headless host and replays a script of
// input and waits; prints what is on screen. The language is described in
// docs/testing.md.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace lw {

class App;
class HeadlessHost;

struct ScriptResult {
  bool ok = true;
  std::string error;   // the first failing command and why
  std::string output;  // everything "print" wrote, and the final state
};

struct ScriptOptions {
  std::vector<std::string> args;       // the program's own command line
  std::filesystem::path settings_dir;  // empty: a fresh temporary folder
  bool print_at_end = true;
  // Steps a test runs between script lines ("call NAME"), such as plugging
  // a real device in or out; each returns an error text, empty on success.
  std::map<std::string, std::function<std::string()>> calls;
};

ScriptResult run_script(const ScriptOptions& options, const std::string& script);

}  // namespace lw
