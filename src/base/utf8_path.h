#pragma once
// Paths to and from UTF-8 text; the narrow std::filesystem forms would use
// the ANSI code page on Windows.
#include <filesystem>
#include <string>
#include <string_view>

namespace lw {

inline std::filesystem::path path_from_utf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8_from_path(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace lw
