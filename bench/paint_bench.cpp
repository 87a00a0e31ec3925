// One full frame on the cairo back end: a log full at 200,000 lines, the
// graph on with 4 series of 200,000 points all inside the window, 1180 x 760.
#include <cairo.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/fake_ports.h"
#include "bench_util.h"
#include "gfx/gfx_cairo.h"
#include "host/host_headless.h"
#include "support/memory_settings.h"
#include "ui/paint.h"
#include "ui/ui_state.h"

namespace lw {
namespace {

double thread_cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
}

int run() {
  constexpr int kWidth = 1180;
  constexpr int kHeight = 760;
  constexpr size_t kLines = 200'000;
  constexpr Millis kStep = 10;

  test::ManualClock clock;
  const Millis start = millis_from_civil({2026, 11, 18, 12, 0, 0, 0});
  clock.local = start + static_cast<Millis>(kLines) * kStep;
  clock.mono = 1'000'000;
  HeadlessHost host(clock);
  test::MemorySettings settings;
  test::FakePortSystem ports;
  App app(host, settings, ports, AppOptions{}, nullptr);
  AppState& state = app.state();
  state.lab = std::make_unique<LabApp>(settings, clock, std::filesystem::path("unused"));
  for (int i = 1; i <= 8; ++i) {
    state.ports.push_back({"COM" + std::to_string(i), "USB serial device", {}, {}});
  }

  auto session = std::make_unique<Session>();
  session->id = next_session_id();
  session->port_name = "COM3";
  session->state.kind = ConnectionKind::Open;
  session->opened_at = start;
  Session& s = *session;
  state.sessions.push_back(std::move(session));
  state.current = 0;

  std::vector<ExtractedValue> values = {{"T", 0}, {"H", 0}, {"P", 0}, {"V", 0}};
  char text[96];
  for (size_t i = 0; i < kLines; ++i) {
    const Millis at = start + static_cast<Millis>(i) * kStep;
    const double x = static_cast<double>(i);
    values[0].value = 21.5 + 1.5 * std::sin(x / 900.0) + 0.05 * std::sin(x);
    values[1].value = 40 + 6 * std::cos(x / 1400.0);
    values[2].value = 30 + 4 * std::sin(x / 300.0);
    values[3].value = 10 + 0.2 * std::cos(x / 77.0);
    std::snprintf(text, sizeof text, "T=%.2f H=%.1f P=%.2f V=%.3f", values[0].value,
                  values[1].value, values[2].value, values[3].value);
    LineRecord r;
    r.bytes = Bytes(std::string_view(text));
    r.time = at;
    r.ending = LineEnding::CrLf;
    s.append(std::move(r), state.search_text);
    s.lab.series.append_values(at, values);
  }
  s.lab.series.set_span(3'600'000);  // every point is inside the window
  s.lab.series.toggle_graph();
  s.log.settle_scroll(state.visible_rows);
  ui_state(app).dark = false;

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  std::unique_ptr<CairoGfx> gfx = create_cairo_gfx(1.0f);
  gfx->set_target(cr);

  // The first frames shape the texts and fill the layout cache.
  for (int i = 0; i < 5; ++i) paint_window(app, *gfx, kWidth, kHeight);
  std::vector<double> cpu_ms;
  std::vector<double> wall_ms;
  for (int i = 0; i < 200; ++i) {
    const double cpu0 = thread_cpu_ms();
    const auto t0 = std::chrono::steady_clock::now();
    paint_window(app, *gfx, kWidth, kHeight);
    cairo_surface_flush(surface);
    wall_ms.push_back(bench::seconds_since(t0) * 1000.0);
    cpu_ms.push_back(thread_cpu_ms() - cpu0);
  }
  // The paint figures are the painting thread's processor time: on a shared
  // machine the wall clock also counts the time other processes ran.
  std::printf("paint_ms_median: %.2f\n", bench::median(cpu_ms));
  std::printf("paint_ms_p99: %.2f\n", bench::percentile(cpu_ms, 0.99));
  std::printf("paint_wall_ms_median: %.2f\n", bench::median(wall_ms));

  gfx->set_target(nullptr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return 0;
}

}  // namespace
}  // namespace lw

int main() { return lw::run(); }
