// The per-line measurement pass on the window thread: decode, reply
// bookkeeping, numbers, series, log append, alerts with a few rules, over
// realistic device lines; once more with the tab's values CSV on.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_util.h"
#include "lab/measure.h"
#include "log/log.h"
#include "settings/settings.h"

namespace {

class BenchSettings final : public lw::Settings {
 public:
  std::optional<uint32_t> get_dword(std::string_view name, std::string_view) override {
    auto it = dwords_.find(std::string(name));
    if (it == dwords_.end()) return std::nullopt;
    return it->second;
  }
  void set_dword(std::string_view name, uint32_t value, std::string_view) override {
    dwords_[std::string(name)] = value;
  }
  std::optional<std::string> get_text(std::string_view name, std::string_view) override {
    auto it = texts_.find(std::string(name));
    if (it == texts_.end()) return std::nullopt;
    return it->second;
  }
  void set_text(std::string_view name, std::string_view value, std::string_view) override {
    texts_[std::string(name)] = std::string(value);
  }
  std::optional<std::vector<uint8_t>> get_binary(std::string_view, std::string_view) override {
    return std::nullopt;
  }
  void set_binary(std::string_view, const std::vector<uint8_t>&, std::string_view) override {}
  void forget_all() override {
    dwords_.clear();
    texts_.clear();
  }

 private:
  std::map<std::string, uint32_t> dwords_;
  std::map<std::string, std::string> texts_;
};

class BenchClock final : public lw::Clock {
 public:
  lw::Millis local_now() override { return 0; }
  int64_t monotonic_ms() override { return ++mono; }
  int64_t mono = 0;
};

// What devices print: mostly sensor lines of named values with units and
// counter-prefixed ADC dumps, then CSV-style numbers, blanks around the
// separators, status text, now and then an error line.
std::vector<std::string> device_lines(size_t count) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pick(0, 99);
  std::vector<std::string> out;
  out.reserve(count);
  char buf[96];
  for (size_t n = 0; n < count; ++n) {
    const int k = pick(rng);
    const int a = 20 + pick(rng) % 15;
    const int a_frac = pick(rng);
    const int b = pick(rng);
    const int b_frac = pick(rng) % 10;
    const int i = static_cast<int>(n % 100'000);
    if (k < 35) {
      std::snprintf(buf, sizeof buf, "T=%d.%02dC H=%d.%d%% n=%d", a, a_frac, b, b_frac, i % 1000);
    } else if (k < 60) {
      std::snprintf(buf, sizeof buf, "%08d adc0=%4d adc1=%4d adc2=%4d status=OK", i, pick(rng) * 10,
                    pick(rng), 1000);
    } else if (k < 70) {
      std::snprintf(buf, sizeof buf, "T=%d.%dC H=%d.%d%% P=1013.2hPa", a, a_frac % 10, b, b_frac);
    } else if (k < 82) {
      std::snprintf(buf, sizeof buf, "%d.%d,%d.%d,3.3,%d", a, a_frac % 10, b, b_frac, i % 1000);
    } else if (k < 90) {
      std::snprintf(buf, sizeof buf, "Temp : %d.%d C, Vbat = 3.7%d V", a, a_frac % 10, b % 10);
    } else if (k < 97) {
      std::snprintf(buf, sizeof buf, "status ok, uptime %d s, mode auto", i);
    } else {
      std::snprintf(buf, sizeof buf, "Sensor ERROR %d: timeout", k);
    }
    out.emplace_back(buf);
  }
  return out;
}

// The two line shapes the extraction speed is judged on.
std::vector<std::string> sensor_lines(size_t count) {
  std::vector<std::string> out;
  out.reserve(count);
  char buf[96];
  for (size_t n = 0; n < count; ++n) {
    const int i = static_cast<int>(n % 100'000);
    if (n % 2 == 0) {
      std::snprintf(buf, sizeof buf, "T=21.%02dC H=47.%d%% n=%d", i % 100, i % 10, i % 1000);
    } else {
      std::snprintf(buf, sizeof buf, "%08d adc0=%4d adc1=%4d adc2=%4d status=OK", i, i % 1024,
                    (i * 7) % 1024, 1000);
    }
    out.emplace_back(buf);
  }
  return out;
}

// Extraction alone, over a block of lines small enough to stay in the cache,
// as the line the pass looks at has just been decoded.
double extract_rate(const std::vector<std::string>& lines, size_t count) {
  const size_t block = std::min<size_t>(lines.size(), 2000);
  const size_t rounds = std::max<size_t>(1, count / block);
  std::vector<double> rates;
  lw::ValueList values;
  for (int run = 0; run < 5; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    size_t found = 0;
    for (size_t r = 0; r < rounds; ++r) {
      for (size_t n = 0; n < block; ++n) {
        lw::extract_values(lines[n], values);
        found += values.size();
      }
    }
    rates.push_back(static_cast<double>(rounds * block) / lw::bench::seconds_since(t0));
    if (found == 0) std::fprintf(stderr, "measure_bench: no values found\n");
  }
  return lw::bench::median(rates);
}

double run_pass(const std::vector<std::string>& lines, bool with_csv,
                const std::filesystem::path& folder) {
  BenchSettings settings;
  BenchClock clock;
  lw::LabApp app(settings, clock, folder);
  app.alerts().add_value_alert("T", lw::AlertKind::Above, "30");
  app.alerts().add_value_alert("H", lw::AlertKind::Below, "10");
  app.alerts().add_text_alert("ERROR");
  lw::TabLab tab;
  if (with_csv) tab.values_csv.emplace(folder, "bench-values", false);
  lw::Log log;
  std::string text;
  lw::Millis stamp = 1'800'000'000'000;
  size_t notices = 0;

  const auto one_pass = [&] {
    for (const std::string& l : lines) {
      stamp += 1;
      lw::LineRecord record{lw::Bytes(l), stamp, lw::LineEnding::CrLf, lw::Direction::Received};
      lw::decode_line_text(record.bytes.span(), text);
      const lw::ReceivedLine line{log.end_absolute(), log.dropped(), stamp, text, "COM3"};
      const lw::AlertOutcome out =
          lw::measure_line(app, tab, line, [&] { log.append(std::move(record), {}); });
      notices += out.notice ? 1u : 0u;  // what the window would show
    }
  };
  one_pass();  // warm up: the log and the rings grow to their working size

  std::vector<double> rates;
  for (int run = 0; run < 5; ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    one_pass();
    rates.push_back(static_cast<double>(lines.size()) / lw::bench::seconds_since(t0));
  }
  if (notices == 0) std::fprintf(stderr, "measure_bench: no alert fired\n");
  return lw::bench::median(rates);
}

}  // namespace

// An optional argument sets the number of lines (fewer for callgrind).
int main(int argc, char** argv) {
  const size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 400'000;
  const std::vector<std::string> lines = device_lines(count);
  std::random_device rd;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("lw-measure-bench-" + std::to_string(rd()));

  const double extract = extract_rate(lines, count);
  const double extract_sensor = extract_rate(sensor_lines(2000), count);
  const double plain = run_pass(lines, false, folder);
  const double with_csv = run_pass(lines, true, folder);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);

  lw::bench::report("extract_lines_per_s", extract, "lines/s");
  lw::bench::report("extract_sensor_lines_per_s", extract_sensor, "lines/s");
  lw::bench::report("measure_lines_per_s", plain, "lines/s");
  lw::bench::report("measure_csv_lines_per_s", with_csv, "lines/s");
}
