// Lines from a device on another machine: a pseudo-terminal shared by
// ser2net (RFC 2217) on 127.0.0.1, read by the application on the headless
// host, with Record on, from the first byte the device writes until the last
// line is in the log and the recording. Linux only; without ser2net it says
// so and prints nothing else.
#include <termios.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "bench_util.h"
#include "e2e/ser2net.h"
#include "script.h"
#include "serial/pty_pair.h"

int main() {
  using namespace lw;
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("lw-net-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  constexpr int kLines = 40'000;
  std::string stream;
  for (int n = 0; n < kLines; ++n)
    stream += "T=" + std::to_string(20 + n % 10) + ".5 H=40 n=" + std::to_string(n) + "\r\n";

  double mb_per_s = 0, lines_per_s = 0;
  std::string error;
  {
    test::PtyPair pty;
    test::Ser2net server(dir, "telnet(rfc2217),tcp", pty.path());
    error = pty.ok() ? server.start() : "no pseudo-terminal";
    if (error.empty()) {
      std::chrono::steady_clock::time_point t0;
      ScriptOptions o;
      o.args = {"--docs", (dir / "docs").string()};
      o.print_at_end = false;
      o.calls["linked"] = [&] {
        for (int i = 0; i < 500; ++i) {
          termios t{};
          tcgetattr(pty.near_fd(), &t);
          if (cfgetospeed(&t) == B9600) return std::string();
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::string("no link");
      };
      o.calls["flood"] = [&] {
        t0 = std::chrono::steady_clock::now();
        return pty.send(stream, 60'000) ? "" : "the far end took no bytes";
      };
      o.calls["done"] = [&] {
        const double s = bench::seconds_since(t0);
        mb_per_s = static_cast<double>(stream.size()) / s / 1e6;
        lines_per_s = kLines / s;
        return std::string();
      };
      const ScriptResult r =
          run_script(o, "openpath rfc2217://127.0.0.1:" + std::to_string(server.port()) +
                            "\ncall linked\nrecord\ncall flood\nwaitlines " +
                            std::to_string(kLines) + "\ncall done\nrecord\n");
      if (!r.ok) error = r.error;
    }
  }
  fs::remove_all(dir);
  if (!error.empty()) {
    std::fprintf(stderr, "net bench: %s\n", error.c_str());
    return 0;
  }
  bench::report("net_mb_per_s", mb_per_s, "MB/s");
  bench::report("net_lines_per_s", lines_per_s, "lines/s");
  return 0;
}
