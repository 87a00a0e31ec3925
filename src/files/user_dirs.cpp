#include "files/user_dirs.h"

#include <string>

namespace lw {

namespace {

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// The quoted value with shell escapes (\" \\ \$ \`) undone.
std::optional<std::string> unquote(std::string_view v) {
  if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::nullopt;
  v = v.substr(1, v.size() - 2);
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) ++i;
    out += v[i];
  }
  return out;
}

}  // namespace

std::optional<std::filesystem::path> xdg_documents_dir(std::string_view text,
                                                       const std::filesystem::path& home) {
  std::optional<std::filesystem::path> found;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = trim_blanks(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
    if (!line.starts_with(kKey)) continue;
    line = trim_blanks(line.substr(kKey.size()));
    if (!line.starts_with('=')) continue;
    const std::optional<std::string> value = unquote(trim_blanks(line.substr(1)));
    if (!value) continue;
    std::string_view v = *value;
    std::filesystem::path dir;
    if (v == "$HOME" || v == "$HOME/") {
      found.reset();  // switched off
      continue;
    }
    if (v.starts_with("$HOME/")) {
      dir = home / std::filesystem::path(std::string(v.substr(6)));
    } else if (v.starts_with('/')) {
      dir = std::filesystem::path(std::string(v));
    } else {
      continue;
    }
    // The last assignment wins, as when the shell sources the file.
    found = dir;
  }
  if (found && found->lexically_normal() == home.lexically_normal()) return std::nullopt;
  return found;
}

}  // namespace lw
