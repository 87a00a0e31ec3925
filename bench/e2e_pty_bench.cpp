// The whole program over a real serial port: a pseudo-terminal pair, a
// generator process writing sensor lines into the device side as fast as
// the pty takes them, and the application on the headless host with the
// port opened by its path, Record and Values CSV on, one cairo frame
// painted per 16 ms as the window would. In the same run the same lines go
// through `cat` into a file (the pty's ceiling) and through a plain logger
// that writes each line to its file as it comes, without stamps. The
// recording must hold every line, once and in order.
//
// usage: e2e_pty_bench [LINES [only]]   (default 2,400,000 lines of 28 bytes;
// "only": the application's run alone, for a profiler)
#include <cairo.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "app/tab_commands.h"
#include "bench_util.h"
#include "gfx/gfx_cairo.h"
#include "host/host_headless.h"
#include "serial/system_port_system.h"
#include "support/memory_settings.h"
#include "ui/paint/paint.h"

extern char** environ;

namespace lw {
namespace {

namespace fs = std::filesystem;
using steady = std::chrono::steady_clock;

// "T=21.56C H=47.0% n=0000001\r\n": the numbers change from line to line,
// n counts from 1 so a lost line shows.
constexpr size_t kLineBytes = 28;
constexpr size_t kBlockLines = 2340;  // 65,520 bytes a write

void make_line(char* out, uint64_t n) {
  std::memcpy(out, "T=21.00C H=47.0% n=0000000\r\n", kLineBytes);
  out[5] = static_cast<char>('0' + n / 10 % 10);
  out[6] = static_cast<char>('0' + n % 10);
  out[14] = static_cast<char>('0' + n / 100 % 10);
  uint64_t v = n;
  for (int i = 25; i >= 19; --i) {
    out[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
}

double cpu_seconds(int who) {
  rusage u{};
  getrusage(who, &u);
  const auto s = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return s(u.ru_utime) + s(u.ru_stime);
}

// A figure of this process's /proc status ("VmHWM:", the peak resident set;
// "VmRSS:", the resident set now), in MiB.
double status_mib(std::string_view field) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(field)) return std::strtod(line.c_str() + field.size(), nullptr) / 1024.0;
  }
  return -1;
}

// A pseudo-terminal pair: the device side (master) and the port side's
// path. The port side stays open here, raw from the start, so nothing
// written before a reader sets the line up is echoed or translated.
struct Pty {
  int device = -1;
  int port = -1;
  std::string path;

  Pty() {
    device = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (device < 0 || grantpt(device) != 0 || unlockpt(device) != 0) return;
    char name[128];
    if (ptsname_r(device, name, sizeof name) != 0) return;
    port = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    if (port < 0 || tcgetattr(port, &t) != 0) return;
    cfmakeraw(&t);
    if (tcsetattr(port, TCSANOW, &t) == 0) path = name;
  }
  ~Pty() {
    if (port >= 0) ::close(port);
    if (device >= 0) ::close(device);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  bool ok() const { return !path.empty(); }
};

// A child process that writes `lines` lines into the device side once told
// to go (a byte on its pipe), then holds the device side open until the
// pipe closes. Forked while this process has one thread; it only calls
// write and read.
class Generator {
 public:
  Generator(Pty& pty, uint64_t lines) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      ::close(fds[1]);
      ::close(pty.port);
      char go;
      if (::read(fds[0], &go, 1) != 1) _exit(1);
      static char block[kBlockLines * kLineBytes];
      for (uint64_t n = 1; n <= lines;) {
        const uint64_t count = std::min<uint64_t>(kBlockLines, lines + 1 - n);
        for (uint64_t i = 0; i < count; ++i) make_line(block + i * kLineBytes, n + i);
        const char* p = block;
        size_t left = count * kLineBytes;
        while (left > 0) {
          const ssize_t w = ::write(pty.device, p, left);
          if (w < 0 && errno == EINTR) continue;
          if (w <= 0) _exit(2);
          p += w;
          left -= static_cast<size_t>(w);
        }
        n += count;
      }
      while (::read(fds[0], &go, 1) > 0) {
      }
      _exit(0);
    }
    ::close(fds[0]);
    go_ = fds[1];
  }
  ~Generator() { finish(); }
  Generator(const Generator&) = delete;
  Generator& operator=(const Generator&) = delete;

  bool ok() const { return pid_ > 0; }
  void go() const { (void)!::write(go_, "g", 1); }
  void finish() {
    if (go_ >= 0) ::close(go_);
    go_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int go_ = -1;
};

uint64_t size_of(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Waits until the file holds `bytes` bytes (at most a minute without
// growth); returns the seconds since t0, or nothing.
std::optional<double> wait_for_size(const fs::path& file, uint64_t bytes, steady::time_point t0) {
  uint64_t last = 0;
  auto last_growth = steady::now();
  for (;;) {
    const uint64_t size = size_of(file);
    if (size >= bytes) return bench::seconds_since(t0);
    if (size != last) {
      last = size;
      last_growth = steady::now();
    } else if (steady::now() - last_growth > std::chrono::seconds(60)) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

struct Copied {
  double seconds = 0;
  double cpu_seconds = 0;  // the copying process's
};

// Ends a copying child and returns its processor time.
double end_child(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The ceiling: `cat` copying the port side into a file.
std::optional<Copied> cat_copy(const fs::path& dir, uint64_t lines) {
  Pty pty;
  if (!pty.ok()) return std::nullopt;
  Generator gen(pty, lines);
  if (!gen.ok()) return std::nullopt;
  const fs::path out = dir / "cat.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, pty.path.c_str(), O_RDONLY | O_NOCTTY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  char cat[] = "cat";
  char* argv[] = {cat, nullptr};
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  // cat opens the port side before the first line goes.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto t0 = steady::now();
  gen.go();
  const std::optional<double> s = wait_for_size(out, lines * kLineBytes, t0);
  const double cpu = end_child(pid);
  gen.finish();
  fs::remove(out);
  if (!s) return std::nullopt;
  return Copied{*s, cpu};
}

// A plain terminal logger: the port read through stdio line by line, each
// line written to the log file as it comes and flushed, so the file is
// always up to date; no stamps, no view. Forked while this process has one
// thread.
std::optional<Copied> plain_logger(const fs::path& dir, uint64_t lines) {
  Pty pty;
  if (!pty.ok()) return std::nullopt;
  Generator gen(pty, lines);
  if (!gen.ok()) return std::nullopt;
  const fs::path out = dir / "plain.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    FILE* in = std::fopen(pty.path.c_str(), "r");
    FILE* log = std::fopen(out.c_str(), "w");
    if (!in || !log) _exit(1);
    char* line = nullptr;
    size_t cap = 0;
    while (getline(&line, &cap, in) > 0) {
      std::fputs(line, log);
      std::fflush(log);
    }
    _exit(0);
  }
  if (pid < 0) return std::nullopt;
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto t0 = steady::now();
  gen.go();
  const std::optional<double> s = wait_for_size(out, lines * kLineBytes, t0);
  const double cpu = end_child(pid);
  gen.finish();
  fs::remove(out);
  if (!s) return std::nullopt;
  return Copied{*s, cpu};
}

// The recording's files of the tab in order: by day, then by part.
std::vector<fs::path> recording_files(const fs::path& docs) {
  static const std::regex name(R"(-(\d{4}-\d{2}-\d{2})(?:-(\d+))?\.txt$)");
  std::vector<std::tuple<std::string, int, fs::path>> found;
  for (const auto& e : fs::directory_iterator(docs)) {
    const std::string file = e.path().filename().string();
    std::smatch m;
    if (!std::regex_search(file, m, name)) continue;
    found.emplace_back(m[1].str(), m[2].matched ? std::stoi(m[2].str()) : 1, e.path());
  }
  std::sort(found.begin(), found.end());
  std::vector<fs::path> out;
  for (auto& f : found) out.push_back(std::move(std::get<2>(f)));
  return out;
}

struct FileCheck {
  uint64_t lines = 0;
  uint64_t lost = 0;
  uint64_t out_of_order = 0;
  uint64_t bad_stamps = 0;  // outside the run, or earlier than the line before
};

// "YYYY-MM-DD HH:MM:SS.mmm  T=21.56C H=47.0% n=0000001": every n from 1 to
// `lines`, once and in order, each stamped within the run.
FileCheck check_recording(const fs::path& docs, uint64_t lines, Millis from, Millis to) {
  FileCheck c;
  uint64_t next = 1;
  std::string last_stamp;
  const std::string low = format_date_time(from);
  const std::string high = format_date_time(to);
  for (const fs::path& file : recording_files(docs)) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string_view rest(bytes);
    if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);  // each file's byte-order mark
    while (!rest.empty()) {
      const size_t end = rest.find("\r\n");
      const std::string_view line = rest.substr(0, end);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
      const size_t at = line.find("  T=");
      if (at != 23 || line.size() != 23 + 2 + kLineBytes - 2) continue;
      uint64_t n = 0;
      const std::string_view digits = line.substr(line.size() - 7);
      std::from_chars(digits.data(), digits.data() + digits.size(), n);
      ++c.lines;
      const std::string stamp(line.substr(0, 23));
      if (stamp < low || stamp > high || stamp < last_stamp) ++c.bad_stamps;
      last_stamp = stamp;
      if (n == next) {
        ++next;
      } else if (n > next) {
        c.lost += n - next;
        next = n + 1;
      } else {
        ++c.out_of_order;
      }
    }
  }
  if (next <= lines) c.lost += lines + 1 - next;
  return c;
}

// Rows of the values CSV files (their headers not counted).
uint64_t values_rows(const fs::path& docs) {
  uint64_t rows = 0;
  for (const auto& e : fs::directory_iterator(docs)) {
    if (e.path().extension() != ".csv") continue;
    std::ifstream in(e.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const auto count = static_cast<uint64_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    rows += count > 0 ? count - 1 : 0;
  }
  return rows;
}

struct Run {
  double seconds = 0;
  double cpu_seconds = 0;
  double rss_mib = 0;
  double rss_end_mib = 0;
  FileCheck file;
  uint64_t csv_rows = 0;
};

constexpr int kWidth = 1180;
constexpr int kHeight = 760;
constexpr auto kFramePeriod = std::chrono::milliseconds(16);

std::optional<Run> linewick(const fs::path& dir, uint64_t lines) {
  Pty pty;
  if (!pty.ok()) return std::nullopt;
  // Forked before the application starts any thread.
  Generator gen(pty, lines);
  if (!gen.ok()) return std::nullopt;

  fs::create_directories(dir / "locks");
  test::MemorySettings settings;
  SystemPortSystem ports(LockPlaces{{dir / "locks"}});
  HeadlessHost host;
  AppOptions options;
  options.docs = dir / "docs";
  auto owned = std::make_unique<App>(host, settings, ports, options, nullptr);
  App& app = *owned;
  app.start();
  app.open_address(pty.path);
  Session* s = app.state().current_session();
  if (s == nullptr || !s->is_open()) {
    std::fprintf(stderr, "e2e_pty_bench: %s did not open\n", pty.path.c_str());
    return std::nullopt;
  }
  app.toggle_record(*s);
  toggle_tab_values_csv(app, *s);
  host.slot().install(std::move(owned));

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  std::unique_ptr<CairoGfx> gfx = create_cairo_gfx(1.0f);
  gfx->set_target(cr);
  int repaints_seen = host.repaints;
  steady::time_point last_frame{};
  const auto frame_if_due = [&] {
    if (host.repaints == repaints_seen) return;
    const auto now = steady::now();
    if (now - last_frame < kFramePeriod) return;
    repaints_seen = host.repaints;
    last_frame = now;
    host.slot().with([&](App& a) { paint_window(a, *gfx, kWidth, kHeight); });
    cairo_surface_flush(surface);
  };

  const Millis from = system_clock().local_now();
  const double cpu0 = cpu_seconds(RUSAGE_SELF);
  const auto t0 = steady::now();
  gen.go();
  uint64_t seen = 0;
  auto last_growth = steady::now();
  host.run_until(
      [&] {
        frame_if_due();
        const uint64_t got = s->log.lines_received();
        if (got != seen) {
          seen = got;
          last_growth = steady::now();
        }
        return got >= lines || steady::now() - last_growth > std::chrono::seconds(20);
      },
      600'000);
  Run run;
  run.seconds = bench::seconds_since(t0);
  run.cpu_seconds = cpu_seconds(RUSAGE_SELF) - cpu0;
  run.rss_mib = status_mib("VmHWM:");
  // Every line is in: what one tab at its limits holds (log, series, the
  // recording's buffers), plus what the heap kept of the backlog.
  run.rss_end_mib = status_mib("VmRSS:");
  const Millis to = system_clock().local_now();

  // Record and Values CSV off: both files complete.
  host.slot().with([&](App& a) {
    a.toggle_record(*s);
    toggle_tab_values_csv(a, *s);
  });
  run.file = check_recording(dir / "docs", lines, from, to);
  run.csv_rows = values_rows(dir / "docs");
  host.slot().with([](App& a) { a.shut_down(); });
  gen.finish();
  gfx->set_target(nullptr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return run;
}

int run(uint64_t lines, bool only) {
  std::string tmpl = (fs::temp_directory_path() / "lw-e2e-pty-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) return 1;
  const fs::path dir = tmpl;
  const double mb = static_cast<double>(lines * kLineBytes) / 1e6;
  // The plain logger is slow: a fifth of the lines give its rate.
  const uint64_t plain_lines = std::max<uint64_t>(1, lines / 5);
  const double plain_mb = static_cast<double>(plain_lines * kLineBytes) / 1e6;

  const std::optional<Copied> ceiling = only ? Copied{1, 0} : cat_copy(dir, lines);
  const std::optional<Copied> plain = only ? Copied{1, 0} : plain_logger(dir, plain_lines);
  const std::optional<Run> lw = linewick(dir, lines);
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (!ceiling || !plain || !lw) {
    std::fprintf(stderr, "e2e_pty_bench: a run did not finish\n");
    return 1;
  }

  const double lw_mb_per_s = mb / lw->seconds;
  const double plain_mb_per_s = plain_mb / plain->seconds;
  std::printf("e2e_pty_mb_per_s: %.1f MB/s\n", lw_mb_per_s);
  std::printf("e2e_pty_lines_per_s: %.0f lines/s\n", static_cast<double>(lines) / lw->seconds);
  std::printf("e2e_pty_cpu_s_per_mb: %.4f s/MB\n", lw->cpu_seconds / mb);
  if (!only) {
    std::printf("e2e_pty_ceiling_mb_per_s: %.1f MB/s\n", mb / ceiling->seconds);
    std::printf("e2e_pty_plain_mb_per_s: %.1f MB/s\n", plain_mb_per_s);
    std::printf("e2e_pty_plain_cpu_s_per_mb: %.4f s/MB\n", plain->cpu_seconds / plain_mb);
    std::printf("e2e_pty_vs_plain: %.2f x\n", lw_mb_per_s / plain_mb_per_s);
  }
  std::printf("e2e_pty_rss_mb: %.0f MiB\n", lw->rss_mib);
  std::printf("e2e_pty_rss_end_mb: %.0f MiB\n", lw->rss_end_mib);

  const FileCheck& f = lw->file;
  const uint64_t lost = f.lost + f.out_of_order;
  std::printf("e2e_pty_lines_lost: %llu\n", static_cast<unsigned long long>(lost));
  if (lost != 0 || f.lines != lines || f.bad_stamps != 0 || lw->csv_rows != lines) {
    std::fprintf(stderr,
                 "e2e_pty_bench: the files hold %llu of %llu lines (%llu out of order, %llu "
                 "stamps outside the run or going back), %llu values rows\n",
                 static_cast<unsigned long long>(f.lines), static_cast<unsigned long long>(lines),
                 static_cast<unsigned long long>(f.out_of_order),
                 static_cast<unsigned long long>(f.bad_stamps),
                 static_cast<unsigned long long>(lw->csv_rows));
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace lw

int main(int argc, char** argv) {
  const uint64_t lines = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2'400'000;
  const bool only = argc > 2 && std::string_view(argv[2]) == "only";
  if (lines == 0 || lines > 9'999'999 || (argc > 2 && !only)) {
    std::fprintf(stderr, "usage: e2e_pty_bench [LINES [only]]   (LINES 1 to 9,999,999)\n");
    return 2;
  }
  return lw::run(lines, only);
}
