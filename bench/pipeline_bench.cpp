// The receive pipeline on one core: splitter -> channel -> drain -> log, with
// realistic sensor lines in 64 KiB reads.
#include <string>
#include <vector>

#include "app/session_ops.h"
#include "bench_util.h"
#include "session/splitter.h"

int main() {
  using namespace lw;
  std::string stream;
  for (int n = 0; stream.size() < (64u << 20); ++n) {
    stream += "T=21." + std::to_string(10 + n % 90) + "C H=47." + std::to_string(n % 10) +
              "% n=" + std::to_string(n) + "\r\n";
  }
  size_t lines_in_stream = 0;
  for (char c : stream) lines_in_stream += c == '\n';

  // One session for every run: the first, untimed, fills the log to its
  // limit, which is where a program left running for days spends its time.
  Session session;
  session.channel = std::make_shared<ReaderChannel>();
  Splitter splitter;
  std::vector<LineRecord> batch;
  LogOnlyPass pass("");
  Millis t = 0;
  const auto push_stream = [&] {
    for (size_t off = 0; off < stream.size(); off += 65536) {
      const size_t n = std::min<size_t>(65536, stream.size() - off);
      ++t;
      splitter.feed({reinterpret_cast<const uint8_t*>(stream.data()) + off, n}, t, t, batch);
      session.channel->hand_over(batch);
      drain_session(session, pass, 40);
    }
  };
  push_stream();

  std::vector<double> mb_per_s, lines_per_s;
  for (int run = 0; run < 5; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    push_stream();
    const double s = bench::seconds_since(t0);
    mb_per_s.push_back(static_cast<double>(stream.size()) / s / 1e6);
    lines_per_s.push_back(static_cast<double>(lines_in_stream) / s);
  }
  bench::report("pipeline_mb_per_s", bench::median(mb_per_s), "MB/s");
  bench::report("pipeline_lines_per_s", bench::median(lines_per_s), "lines/s");
}
