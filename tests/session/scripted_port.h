#pragma once
// A Port that plays a script: each read takes the next step (bytes, a
// timeout or an error) and advances a fake clock. When the script runs out
// the port fails, which ends the reader loop.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/time.h"
#include "session/port.h"

namespace lw::test {

class FakeClock final : public Clock {
 public:
  Millis local_now() override { return wall; }
  int64_t monotonic_ms() override { return mono; }
  void advance(int64_t ms) {
    wall += ms;
    mono += ms;
  }
  Millis wall = 1'000'000;
  int64_t mono = 5'000;
};

struct Step {
  enum Kind { Data, Timeout, Fail } kind = Data;
  std::string bytes;
  int64_t advance_ms = 0;        // the clock moves by this much before the read returns
  std::function<void()> before;  // runs when the read starts (e.g. queue a command)
};

inline Step data(std::string b, int64_t ms = 1) { return {Step::Data, std::move(b), ms, {}}; }
inline Step timeout(int64_t ms = 50) { return {Step::Timeout, {}, ms, {}}; }
inline Step fail_read(std::string why = "device gone") {
  return {Step::Fail, std::move(why), 0, {}};
}

class ScriptedPort final : public Port {
 public:
  ScriptedPort(FakeClock& clock, std::deque<Step> script)
      : clock_(clock), script_(std::move(script)) {}

  Result<size_t> read(std::span<uint8_t> buf) override {
    if (script_.empty()) return fail(Error{0, "script ended"});
    Step s = std::move(script_.front());
    script_.pop_front();
    if (s.before) s.before();
    clock_.advance(s.advance_ms);
    if (s.kind == Step::Fail) return fail(Error{5, s.bytes});
    if (s.kind == Step::Timeout) return size_t{0};
    const size_t n = std::min(buf.size(), s.bytes.size());
    std::copy_n(s.bytes.begin(), n, buf.begin());
    return n;
  }
  Status write_all(std::span<const uint8_t> bytes) override {
    if (fail_writes) return fail(Error{0, "write timed out"});
    written->append(bytes.begin(), bytes.end());
    return {};
  }
  Status configure(const PortSettings& s) override {
    configured->push_back(s);
    return {};
  }

  bool fail_writes = false;
  std::shared_ptr<std::string> written = std::make_shared<std::string>();
  std::shared_ptr<std::vector<PortSettings>> configured =
      std::make_shared<std::vector<PortSettings>>();

 private:
  FakeClock& clock_;
  std::deque<Step> script_;
};

}  // namespace lw::test
