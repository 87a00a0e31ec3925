#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace lw::bench {

inline double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Median of several runs, so one noisy run on a shared machine does not set the figure.
inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

inline double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
  return v[i];
}

inline void report(const char* name, double value, const char* unit) {
  std::printf("%s: %.0f %s\n", name, value, unit);
}

}  // namespace lw::bench
