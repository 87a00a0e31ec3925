#include "sim/device.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "base/ascii.h"
#include "base/trim.h"
#include "base/utf8.h"

namespace lw {
namespace {

constexpr std::string_view kBanner = "Arduino ready (sketch: thermo_logger v1.2)\r\n";
constexpr std::string_view kPrompt = "Ready> ";
constexpr std::chrono::nanoseconds kMaxIdleWait = std::chrono::milliseconds(kReadTimeoutMs);

void append(std::vector<uint8_t>& out, std::string_view s) {
  out.insert(out.end(), s.begin(), s.end());
}

}  // namespace

DeviceTiming real_timing() {
  return {
      [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
      },
      [](std::chrono::nanoseconds d) { std::this_thread::sleep_for(d); },
  };
}

uint32_t xorshift32(uint32_t& x) {
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return x;
}

bool is_flood_name(std::string_view name) {
  // "flood" is ASCII and no other letter lower-cases to one of its letters,
  // so an ASCII fold finds exactly what a full lower-casing would.
  return ascii_lower(name).find("flood") != std::string::npos;
}

SimulatedDevice::SimulatedDevice(std::string_view name, std::shared_ptr<std::atomic<bool>> present,
                                 DeviceTiming timing)
    : present_(std::move(present)),
      timing_(std::move(timing)),
      flood_(is_flood_name(name)),
      started_(timing_.now()) {}

Result<size_t> SimulatedDevice::read(std::span<uint8_t> buf) {
  if (!present_->load()) return fail(Error{0, std::string(kSimUnpluggedReadError)});
  if (pending_pos_ < pending_.size()) return take_pending(buf);

  if (flood_) {
    timing_.sleep(kFloodPause);
    produce_flood();
    return take_pending(buf);
  }

  const std::chrono::nanoseconds now = timing_.now() - started_;
  if (now < next_due_) {
    // Like a real port's read timeout: wait, but never past it.
    timing_.sleep(std::min(next_due_ - now, kMaxIdleWait));
    return size_t{0};
  }
  // Due times advance from the schedule, not from now, so a late reader
  // catches up with every tick it missed.
  next_due_ += kSimTickPeriod;
  produce_tick();
  return take_pending(buf);
}

Status SimulatedDevice::write_all(std::span<const uint8_t> bytes) {
  if (!present_->load()) return fail(Error{0, std::string(kSimUnpluggedWriteError)});
  const std::string text =
      utf8_sanitize({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  append(pending_, "OK ");
  append(pending_, trim_white_space(text));
  append(pending_, "\r\n");
  return {};
}

Status SimulatedDevice::configure(const PortSettings&) { return {}; }

size_t SimulatedDevice::take_pending(std::span<uint8_t> buf) {
  const size_t n = std::min(buf.size(), pending_.size() - pending_pos_);
  if (n > 0) std::memcpy(buf.data(), pending_.data() + pending_pos_, n);
  pending_pos_ += n;
  if (pending_pos_ == pending_.size()) {
    pending_.clear();
    pending_pos_ = 0;
  }
  return n;
}

void SimulatedDevice::produce_tick() {
  ++ticks_;
  if (ticks_ == 1) {
    append(pending_, kBanner);
    return;
  }
  if (ticks_ % kPromptEvery == 0) {
    append(pending_, kPrompt);
    return;
  }
  const uint32_t r = xorshift32(rng_);
  const float n = static_cast<float>(ticks_);
  const float t = 21.0f + 1.6f * std::sin(0.17f * n) + static_cast<float>(r % 10) * 0.01f;
  const float h = 44.0f + 3.0f * std::cos(0.05f * n);
  char line[64];
  const int len = std::snprintf(line, sizeof line, "T=%.2fC H=%.1f%% n=%u\r\n",
                                static_cast<double>(t), static_cast<double>(h), ticks_);
  append(pending_, {line, static_cast<size_t>(len)});
}

void SimulatedDevice::produce_flood() {
  const size_t start = pending_.size();
  while (pending_.size() - start < kFloodBatchBytes) {
    ++ticks_;
    const uint32_t a = xorshift32(rng_) & 1023;
    const uint32_t b = xorshift32(rng_) & 1023;
    const uint32_t c = xorshift32(rng_) & 1023;
    char line[96];
    const int len = std::snprintf(line, sizeof line,
                                  "%08u adc0=%4u adc1=%4u adc2=%4u status=OK\r\n", ticks_, a, b, c);
    append(pending_, {line, static_cast<size_t>(len)});
  }
}

}  // namespace lw
