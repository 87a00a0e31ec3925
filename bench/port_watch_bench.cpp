// How soon a tab that let go of its port has it again once another program
// lets go: the real application on the headless host with the real clock,
// a pseudo-terminal as the board and a second process as the uploader. The
// device sends its first line right at the release; the figure that counts
// is the time from the release to the port open again (the goal: within
// 300 ms), and whether that first line reached the log.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench_util.h"
#include "host/host_headless.h"
#include "serial/lock_folder.h"
#include "serial/other_program_posix.h"
#include "serial/pty_pair.h"
#include "serial/system_port_system.h"
#include "support/memory_settings.h"

namespace lw {
namespace {

constexpr int kRounds = 15;

bool log_has(const Session& s, const std::string& text) {
  bool found = false;
  s.log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
    found = found || r.bytes.view().find(text) != std::string_view::npos;
  });
  return found;
}

int run() {
  test::PtyPair pty;
  if (!pty.ok()) {
    std::fprintf(stderr, "port_watch: no pseudo-terminal\n");
    return 1;
  }
  const std::filesystem::path docs =
      std::filesystem::temp_directory_path() / ("lw-bench-watch-" + std::to_string(::getpid()));
  HeadlessHost host;
  test::MemorySettings settings;
  SystemPortSystem ports(test::test_lock_places());
  AppOptions options;
  options.docs = docs;
  auto owned = std::make_unique<App>(host, settings, ports, options, nullptr);
  App& app = *owned;
  app.start();
  host.slot().install(std::move(owned));
  Session& tab = app.open_tab(PortInfo{pty.path(), "Pty board", {}, {}});
  const auto drain = [&] {
    if (tab.channel) app.drain(tab);
    return false;
  };

  std::vector<double> reopen_ms;
  int kept = 0;
  for (int round = 0; round < kRounds && tab.is_open(); ++round) {
    app.release_port(tab);
    test::OtherProgram uploader(pty.path(), test::OtherProgram::Lock::none);
    if (!uploader.opened()) break;
    host.run_until([&] { return tab.watch && tab.watch->taken; }, 5'000);
    const std::string first = "first line " + std::to_string(round);
    const auto released = std::chrono::steady_clock::now();
    if (!uploader.close_port() || !pty.send(first + "\r\n")) break;
    if (!host.run_until([&] { return tab.is_open(); }, 5'000)) break;
    reopen_ms.push_back(bench::seconds_since(released) * 1000);
    host.run_until([&] { return drain() || log_has(tab, first); }, 2'000);
    kept += log_has(tab, first) ? 1 : 0;
  }
  host.slot().take();
  std::error_code ec;
  std::filesystem::remove_all(docs, ec);
  if (reopen_ms.empty()) {
    std::fprintf(stderr, "port_watch: the port never opened again\n");
    return 1;
  }
  bench::report("port_watch_reopen_ms_p50", bench::percentile(reopen_ms, 0.5), "ms");
  bench::report("port_watch_reopen_ms_max", bench::percentile(reopen_ms, 1.0), "ms");
  std::printf("port_watch_first_line_kept: %d of %zu\n", kept, reopen_ms.size());
  return 0;
}

}  // namespace
}  // namespace lw

int main() { return lw::run(); }
