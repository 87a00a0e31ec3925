#include "script_measure.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/text_file.h"
#include "base/utf8_path.h"
#include "files/file_names.h"
#include "script_ui.h"
#include "ui/paint/paint.h"

namespace lw::script {

namespace {

constexpr auto kFramePeriod = std::chrono::milliseconds(16);

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

double largest(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

// "YYYY-MM-DD HH:MM:SS.mmm  00000042 adc0=..." gives 42.
std::optional<uint64_t> sequence_of(std::string_view line) {
  constexpr size_t kStamp = 23 + 2;
  if (line.size() < kStamp + 9 || line.substr(23, 2) != "  ") return std::nullopt;
  const std::string_view number = line.substr(kStamp, 8);
  if (line[kStamp + 8] != ' ') return std::nullopt;
  uint64_t n = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), n);
  if (r.ec != std::errc{} || r.ptr != number.data() + number.size()) return std::nullopt;
  return n;
}

// The session's recording files, oldest first: day files, then their parts.
std::vector<std::filesystem::path> recording_files(const std::filesystem::path& folder,
                                                   const Session& s) {
  const std::string prefix = file_base(s.port_name, s.description) + "-";
  struct Named {
    std::string date;
    unsigned part = 1;
    std::filesystem::path path;
  };
  std::vector<Named> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = utf8_from_path(e.path().filename());
    if (!name.starts_with(prefix) || !name.ends_with(".txt")) continue;
    const std::string rest = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    if (rest.size() < 10) continue;
    Named n{rest.substr(0, 10), 1, e.path()};
    if (rest.size() > 10) {
      // An event file ("-disconnected") is not a part of the recording.
      if (rest[10] != '-' ||
          std::from_chars(rest.data() + 11, rest.data() + rest.size(), n.part).ptr !=
              rest.data() + rest.size()) {
        continue;
      }
    }
    found.push_back(std::move(n));
  }
  std::sort(found.begin(), found.end(), [](const Named& a, const Named& b) {
    return a.date != b.date ? a.date < b.date : a.part < b.part;
  });
  std::vector<std::filesystem::path> out;
  for (Named& n : found) out.push_back(std::move(n.path));
  return out;
}

}  // namespace

void Measure::start(HeadlessHost& host) {
  canvas_ = make_frame_canvas(static_cast<int>(kWindowWidth), static_cast<int>(kWindowHeight));
  repaints_seen_ = host.repaints;
  host.on_handled = [this](const HeadlessHost::Handled& h) {
    if ((h.message && h.id == kMsgReaderWake) || (!h.message && h.id == kTimerDrain)) {
      drain_ms_.push_back(h.ms);
    }
  };
}

void Measure::frame_if_due(App& app, int repaints_asked) {
  if (!canvas_ || repaints_asked == repaints_seen_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_frame_ < kFramePeriod) return;
  repaints_seen_ = repaints_asked;
  last_frame_ = now;
  const double cpu0 = thread_cpu_ms();
  paint_window(app, canvas_->gfx(), kWindowWidth, kWindowHeight);
  canvas_->frame_done();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - now;
  paint_ms_.push_back(took.count());
  paint_cpu_ms_.push_back(thread_cpu_ms() - cpu0);
  if (paint_ms_.size() % 64 == 1) peak_rss_mib_ = std::max(peak_rss_mib_, resident_mib());
}

void Measure::print(std::ostream& out) const {
  char line[160];
  const auto figure = [&](const char* name, double value) {
    std::snprintf(line, sizeof line, "%s: %.2f\n", name, value);
    out << line;
  };
  figure("soak_drain_ms_p99", percentile(drain_ms_, 0.99));
  figure("soak_drain_ms_max", largest(drain_ms_));
  figure("soak_paint_ms_p99", percentile(paint_ms_, 0.99));
  figure("soak_paint_ms_max", largest(paint_ms_));
  figure("soak_paint_cpu_ms_p99", percentile(paint_cpu_ms_, 0.99));
  out << "soak_drains: " << drain_ms_.size() << "\n";
  out << "soak_frames: " << paint_ms_.size() << "\n";
  figure("soak_rss_mb", std::max(peak_rss_mib_, resident_mib()));
}

SequenceCheck check_sequence(const std::filesystem::path& folder, const Session& s, uint64_t first,
                             uint64_t last) {
  SequenceCheck c;
  uint64_t next = first;
  for (const std::filesystem::path& file : recording_files(folder, s)) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string_view rest(bytes);
    if (!rest.starts_with(kUtf8Bom)) ++c.bad;
    rest.remove_prefix(std::min(rest.size(), kUtf8Bom.size()));
    if (rest.find(kUtf8Bom) != std::string_view::npos) ++c.bad;
    while (!rest.empty()) {
      const size_t end = rest.find("\r\n");
      if (end == std::string_view::npos) {
        ++c.bad;  // a torn last line
        break;
      }
      const std::optional<uint64_t> n = sequence_of(rest.substr(0, end));
      rest.remove_prefix(end + 2);
      if (!n) continue;  // marks and summary lines
      ++c.found;
      if (*n == next) {
        ++next;
      } else if (*n > next) {
        c.lost += *n - next;
        next = *n + 1;
      } else {
        ++c.disorder;
      }
    }
  }
  if (next <= last) c.lost += last + 1 - next;
  return c;
}

}  // namespace lw::script
