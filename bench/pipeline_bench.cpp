// The receive pipeline on one core: splitter -> channel -> drain -> log, with
// realistic sensor lines in 64 KiB reads; then the same through the
// application's own drain, which also reads the numbers of every line into
// the tab's series and checks the alerts.
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/fake_ports.h"
#include "app/session_ops.h"
#include "bench_util.h"
#include "host/host_headless.h"
#include "session/splitter.h"
#include "support/memory_settings.h"

namespace lw {
namespace {

// Five timed runs of push (each the whole stream) after one untimed run
// that fills the log to its limit, where a program left running for days
// spends its time.
void measure_runs(const char* name, const std::string& stream, size_t lines,
                  const std::function<void()>& push) {
  push();
  std::vector<double> mb_per_s, lines_per_s;
  for (int run = 0; run < 5; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    push();
    const double s = bench::seconds_since(t0);
    mb_per_s.push_back(static_cast<double>(stream.size()) / s / 1e6);
    lines_per_s.push_back(static_cast<double>(lines) / s);
  }
  bench::report((std::string(name) + "_mb_per_s").c_str(), bench::median(mb_per_s), "MB/s");
  bench::report((std::string(name) + "_lines_per_s").c_str(), bench::median(lines_per_s),
                "lines/s");
}

// Splits the stream in 64 KiB reads and hands each read's lines over.
void feed_stream(const std::string& stream, ReaderChannel& channel,
                 const std::function<void()>& drain) {
  Splitter splitter;
  std::vector<LineRecord> batch;
  Millis t = 0;
  for (size_t off = 0; off < stream.size(); off += 65536) {
    const size_t n = std::min<size_t>(65536, stream.size() - off);
    ++t;
    splitter.feed({reinterpret_cast<const uint8_t*>(stream.data()) + off, n}, t, t, batch);
    channel.hand_over(batch);
    drain();
  }
}

void application_drain(const std::string& stream, size_t lines) {
  test::ManualClock clock;
  clock.local = millis_from_civil({2026, 12, 10, 12, 0, 0, 0});
  HeadlessHost host(clock);
  test::MemorySettings settings;
  test::FakePortSystem ports;
  App app(host, settings, ports, AppOptions{}, nullptr);
  app.start();
  auto owned = std::make_unique<Session>();
  owned->id = next_session_id();
  owned->port_name = "COM3";
  owned->state.kind = ConnectionKind::Open;
  owned->channel = std::make_shared<ReaderChannel>();
  Session& s = *owned;
  app.state().sessions.push_back(std::move(owned));
  app.state().current = 0;
  measure_runs("pipeline_app", stream, lines,
               [&] { feed_stream(stream, *s.channel, [&] { app.drain(s); }); });
}

}  // namespace
}  // namespace lw

int main() {
  using namespace lw;
  std::string stream;
  for (int n = 0; stream.size() < (64u << 20); ++n) {
    stream += "T=21." + std::to_string(10 + n % 90) + "C H=47." + std::to_string(n % 10) +
              "% n=" + std::to_string(n) + "\r\n";
  }
  size_t lines_in_stream = 0;
  for (char c : stream) lines_in_stream += c == '\n';

  Session session;
  session.channel = std::make_shared<ReaderChannel>();
  LogOnlyPass pass("");
  measure_runs("pipeline", stream, lines_in_stream, [&] {
    feed_stream(stream, *session.channel, [&] { drain_session(session, pass, 40); });
  });
  application_drain(stream, lines_in_stream);
}
