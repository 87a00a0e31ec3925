// linewick_driver [--settings DIR] [program options...] < script
// Runs the application headless, replays the script from standard input and
// prints the state. Exits 1 when a command fails.
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "script.h"

int main(int argc, char** argv) {
  lw::ScriptOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--settings" && i + 1 < argc) {
      options.settings_dir = argv[++i];
    } else {
      options.args.push_back(a);
    }
  }
  const std::string script(std::istreambuf_iterator<char>(std::cin), {});
  const lw::ScriptResult r = lw::run_script(options, script);
  std::cout << r.output;
  if (!r.ok) {
    std::cerr << "linewick_driver: " << r.error << "\n";
    return 1;
  }
  return 0;
}
