// The replay reader over any file. Reading never fails hard; the lines and
// where reading stopped do not depend on the chunks the file arrives in;
// line numbers rise and stay below the unreadable line; only plain files
// have lines without stamps. A replay of the file on an injected clock
// hands out exactly the bytes of those lines, whatever the speed, and then
// says it is over.
//
// Input: one byte (the chunk size), one byte (the speed; its top bit: read
// with a small buffer), then the file.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "sim/replay_port.h"

namespace {

lw::ReplaySource source_of(std::string_view file, size_t chunk) {
  auto at = std::make_shared<size_t>(0);
  return [file = std::string(file), at, chunk](std::span<uint8_t> buf) -> lw::Result<size_t> {
    const size_t n = std::min({buf.size(), chunk, file.size() - *at});
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(*at), n, buf.begin());
    *at += n;
    return n;
  };
}

struct Read {
  std::vector<lw::ReplayLine> lines;
  std::optional<uint64_t> unreadable;
};

Read read_all(std::string_view file, size_t chunk) {
  lw::ReplayReader reader(source_of(file, chunk));
  Read r;
  while (std::optional<lw::ReplayLine> line = reader.next()) {
    if (reader.format() == lw::ReplayFormat::Plain) {
      LW_FUZZ_CHECK(!line->stamp.has_value());
    } else {
      LW_FUZZ_CHECK(line->stamp.has_value());
    }
    LW_FUZZ_CHECK(r.lines.empty() || line->number > r.lines.back().number);
    r.lines.push_back(std::move(*line));
  }
  r.unreadable = reader.unreadable_line();
  if (r.unreadable && !r.lines.empty()) LW_FUZZ_CHECK(*r.unreadable > r.lines.back().number);
  return r;
}

bool same(const Read& a, const Read& b) {
  if (a.unreadable != b.unreadable || a.lines.size() != b.lines.size()) return false;
  for (size_t i = 0; i < a.lines.size(); ++i) {
    const lw::ReplayLine& x = a.lines[i];
    const lw::ReplayLine& y = b.lines[i];
    if (x.bytes != y.bytes || x.ending != y.ending || x.stamp != y.stamp || x.number != y.number)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lw::fuzz::FuzzInput in(data, size);
  const size_t chunk = 1 + in.byte() % 64;
  const uint8_t how = in.byte();
  const auto speed = static_cast<lw::ReplaySpeed>(how % 3);
  const std::string_view file = in.rest_text();

  const Read whole = read_all(file, file.size() + 1);
  LW_FUZZ_CHECK(same(whole, read_all(file, chunk)));

  using std::chrono::nanoseconds;
  auto now = std::make_shared<nanoseconds>(std::chrono::seconds(1));
  lw::DeviceTiming timing{[now] { return *now; }, [now](nanoseconds d) { *now += d; }};
  auto control = std::make_shared<lw::ReplayControl>();
  control->speed = speed;
  lw::ReplayPort port(source_of(file, chunk), control, timing);
  std::string out;
  std::vector<uint8_t> buf((how & 0x80) != 0 ? 16 : 65536);
  // Stamps may lie a day apart: the clock jumps over long waits.
  for (int i = 0; i < 100'000 && !control->finished; ++i) {
    const lw::Result<size_t> got = port.read(buf);
    LW_FUZZ_CHECK(got.ok());
    out.append(reinterpret_cast<const char*>(buf.data()), *got);
    if (*got == 0) *now += std::chrono::hours(6);
  }
  LW_FUZZ_CHECK(control->finished);
  std::string expected;
  for (const lw::ReplayLine& l : whole.lines) expected.append(l.bytes.begin(), l.bytes.end());
  LW_FUZZ_CHECK(out == expected);
  LW_FUZZ_CHECK(control->lines == whole.lines.size());
  LW_FUZZ_CHECK(control->unreadable_line == whole.unreadable.value_or(0));
  return 0;
}
