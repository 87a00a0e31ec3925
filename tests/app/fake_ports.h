#pragma once
// Ports for application tests: a device that replays queued chunks from
// another thread, a port system that hands them out by name, and a clock
// both threads may read.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "base/time.h"
#include "session/port.h"

namespace lw::test {

class SharedClock final : public Clock {
 public:
  Millis local_now() override { return wall.load(); }
  int64_t monotonic_ms() override { return mono.load(); }
  std::atomic<Millis> wall{Millis{1'765'000'000'000}};
  std::atomic<int64_t> mono{1000};
};

// What a fake device does; shared by the test and the port's reader thread.
struct DeviceScript {
  std::mutex mutex;
  std::deque<std::string> chunks;  // handed out one per read
  std::string written;
  std::optional<std::string> fail_with;  // the next read fails with this
  uint64_t idle_reads = 0;               // reads that found nothing to hand out
  std::atomic<bool> stall{false};        // reads block while set, as a hung driver
  std::atomic<bool> stalled{false};      // a read is blocked now
  void push(std::string chunk) {
    std::lock_guard lock(mutex);
    chunks.push_back(std::move(chunk));
  }
  void unplug(std::string why = "device gone") {
    std::lock_guard lock(mutex);
    fail_with = std::move(why);
  }
  std::string written_bytes() {
    std::lock_guard lock(mutex);
    return written;
  }
  bool all_read() {
    std::lock_guard lock(mutex);
    return chunks.empty();
  }
  uint64_t idle_count() {
    std::lock_guard lock(mutex);
    return idle_reads;
  }
};

class ScriptPort final : public Port {
 public:
  explicit ScriptPort(std::shared_ptr<DeviceScript> d) : d_(std::move(d)) {}
  Result<size_t> read(std::span<uint8_t> buf) override {
    while (d_->stall.load()) {
      d_->stalled = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    d_->stalled = false;
    {
      std::lock_guard lock(d_->mutex);
      if (d_->chunks.empty() && d_->fail_with) return fail(Error{0, *d_->fail_with});
      if (!d_->chunks.empty()) {
        std::string c = std::move(d_->chunks.front());
        d_->chunks.pop_front();
        std::copy(c.begin(), c.end(), buf.begin());
        return c.size();
      }
      ++d_->idle_reads;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));  // a short read timeout
    return size_t{0};
  }
  Status write_all(std::span<const uint8_t> bytes) override {
    std::lock_guard lock(d_->mutex);
    d_->written.append(bytes.begin(), bytes.end());
    return {};
  }
  Status configure(const PortSettings&) override { return {}; }

 private:
  std::shared_ptr<DeviceScript> d_;
};

class FakePortSystem final : public PortSystem {
 public:
  std::vector<PortInfo> list_ports() override { return listed; }
  // The entries of `present` the addresses name, in address order.
  std::vector<PortInfo> find_ports(std::span<const PortAddress> addresses) override {
    std::vector<PortInfo> out;
    for (const PortAddress& a : addresses) {
      for (const PortInfo& p : present) {
        if (p.name != a.text) continue;
        out.push_back(p);
        out.back().added = true;
      }
    }
    return out;
  }
  Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                     const PortSettings&) override {
    ++opens;
    if (auto f = failures.find(name); f != failures.end()) return fail(f->second);
    auto d = devices.find(name);
    if (d == devices.end()) return fail(OpenFailure::Missing);
    return std::unique_ptr<Port>(std::make_unique<ScriptPort>(d->second));
  }
  // What a waiting tab sees of the port: `seen`, else free.
  PortLook look_at(const std::string& name, const std::optional<PortHolder>&) override {
    ++looks;
    auto l = seen.find(name);
    return l == seen.end() ? PortLook{} : l->second;
  }
  Result<std::unique_ptr<Port>, OpenError> reopen_port(const std::string& name,
                                                       const PortSettings& settings) override {
    ++reopens;
    return open_port(name, settings);
  }
  std::shared_ptr<DeviceScript> add(const std::string& name) {
    auto d = std::make_shared<DeviceScript>();
    devices[name] = d;
    return d;
  }

  std::vector<PortInfo> listed;
  std::vector<PortInfo> present;  // what typed addresses lead to
  std::map<std::string, std::shared_ptr<DeviceScript>> devices;
  std::map<std::string, OpenError> failures;
  std::map<std::string, PortLook> seen;
  int opens = 0;
  int reopens = 0;  // opens that ended a wait (counted in opens too)
  int looks = 0;
};

// Polls `done` until it holds or ten seconds pass.
inline bool wait_until(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Waits until the reader has read every chunk pushed so far and handed the
// records over to its channel: a read that finds nothing comes only after
// the hand-over of the read before it.
inline bool wait_handed_over(DeviceScript& d) {
  if (!wait_until([&] { return d.all_read(); })) return false;
  const uint64_t idle = d.idle_count();
  return wait_until([&] { return d.idle_count() > idle; });
}

}  // namespace lw::test
