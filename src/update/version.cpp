#include "update/version.h"

#include <algorithm>
#include <charconv>

namespace lw {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

uint32_t part_value(std::string_view part) {
  uint32_t value = 0;
  const char* end = part.data() + part.size();
  const auto [ptr, ec] = std::from_chars(part.data(), end, value);
  // from_chars alone would accept a leading number ("3-beta") or refuse a
  // value above 32 bits; both count as 0.
  if (ec != std::errc() || ptr != end || part.empty()) return 0;
  return value;
}

}  // namespace

std::vector<uint32_t> version_parts(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  while (!text.empty() && text.front() == 'v') text.remove_prefix(1);

  std::vector<uint32_t> parts;
  for (;;) {
    const size_t dot = text.find('.');
    parts.push_back(part_value(text.substr(0, dot)));
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts;
}

std::strong_ordering compare_versions(std::string_view a, std::string_view b) {
  const std::vector<uint32_t> pa = version_parts(a);
  const std::vector<uint32_t> pb = version_parts(b);
  const size_t n = std::max(pa.size(), pb.size());
  for (size_t i = 0; i < n; ++i) {
    const uint32_t x = i < pa.size() ? pa[i] : 0;
    const uint32_t y = i < pb.size() ? pb[i] : 0;
    if (x != y) return x <=> y;
  }
  return std::strong_ordering::equal;
}

bool is_newer_version(std::string_view offered, std::string_view current) {
  return compare_versions(offered, current) == std::strong_ordering::greater;
}

}  // namespace lw
