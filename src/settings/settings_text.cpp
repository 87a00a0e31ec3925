#include "settings/settings_text.h"

#include <optional>

#include "base/ascii.h"
#include "base/utf8.h"

namespace lw {

namespace {

void append_escaped(std::string& out, std::string_view s, bool name) {
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out += kHexLower[u >> 4];
      out += kHexLower[u & 0xF];
    } else if (name && (c == '=' || c == '[' || c == ']' || c == '#')) {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
}

// Undoes append_escaped; nullopt for a malformed escape or invalid UTF-8.
std::optional<std::string> unescape(std::string_view s, bool name) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == s.size()) return std::nullopt;
    switch (s[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        if (i + 2 >= s.size()) return std::nullopt;
        const int hi = hex_digit_value(s[i + 1]);
        const int lo = hex_digit_value(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      case '=':
      case '[':
      case ']':
      case '#':
        if (!name) return std::nullopt;
        out += s[i];
        break;
      default:
        return std::nullopt;
    }
  }
  if (!is_valid_utf8(out)) return std::nullopt;
  return out;
}

// Position of the first '=' that is not escaped, or npos.
size_t find_separator(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return std::string_view::npos;
}

std::optional<uint32_t> parse_dword(std::string_view s) {
  if (s.size() > 10) return std::nullopt;
  return parse_decimal(s);
}

std::optional<std::vector<uint8_t>> parse_hex(std::string_view s) {
  if (s.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> out;
  out.reserve(s.size() / 2);
  for (size_t i = 0; i < s.size(); i += 2) {
    const int hi = hex_digit_value(s[i]);
    const int lo = hex_digit_value(s[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return out;
}

std::optional<StoredValue> parse_value(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view type = s.substr(0, colon);
  const std::string_view body = s.substr(colon + 1);
  if (type == "dword") {
    if (auto v = parse_dword(body)) return StoredValue(*v);
  } else if (type == "text") {
    if (auto v = unescape(body, false)) return StoredValue(std::move(*v));
  } else if (type == "binary") {
    if (auto v = parse_hex(body)) return StoredValue(std::move(*v));
  }
  return std::nullopt;
}

// A section header's name ("" for the own key), or nullopt if the line is
// not a well-formed header.
std::optional<std::string> parse_header(std::string_view line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  const std::string_view inner = line.substr(1, line.size() - 2);
  if (!inner.empty() && inner.back() == '\\') {
    // "\]" at the end: the bracket is part of the name, the header is open.
    size_t slashes = 0;
    for (size_t i = inner.size(); i > 0 && inner[i - 1] == '\\'; --i) ++slashes;
    if (slashes % 2 == 1) return std::nullopt;
  }
  std::optional<std::string> name = unescape(inner, true);
  if (name && *name == kStoreOwnSection) name->clear();
  return name;
}

}  // namespace

const StoredValue* StoreData::find(std::string_view section, std::string_view name) const {
  for (const StoreSection& s : sections_) {
    if (s.name != section) continue;
    for (const auto& [n, v] : s.values) {
      if (n == name) return &v;
    }
  }
  return nullptr;
}

StoreSection& StoreData::section(std::string_view name) {
  for (StoreSection& s : sections_) {
    if (s.name == name) return s;
  }
  sections_.push_back(StoreSection{std::string(name), {}});
  return sections_.back();
}

void StoreData::set(std::string_view section_name, std::string_view name, StoredValue value) {
  StoreSection& s = section(section_name);
  for (auto& [n, v] : s.values) {
    if (n == name) {
      v = std::move(value);
      return;
    }
  }
  s.values.emplace_back(std::string(name), std::move(value));
}

ParsedStore parse_store(std::string_view text) {
  ParsedStore out;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::string section;
  bool lost = false;  // after a broken header: the lines have no known home
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
      // Cut short mid-line: whatever follows the last LF may be a partial value.
      out.damaged = true;
      break;
    }
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      std::optional<std::string> name = parse_header(line);
      lost = !name;
      if (name) {
        section = std::move(*name);
      } else {
        out.damaged = true;
      }
      continue;
    }
    const size_t sep = find_separator(line);
    std::optional<std::string> name;
    std::optional<StoredValue> value;
    if (sep != std::string_view::npos) {
      name = unescape(line.substr(0, sep), true);
      value = parse_value(line.substr(sep + 1));
    }
    if (!name || !value || lost) {
      out.damaged = true;
      continue;
    }
    out.data.set(section, *name, std::move(*value));
  }
  return out;
}

std::string format_store(const StoreData& data) {
  std::string out = "# Linewick settings\n";
  for (const StoreSection& s : data.sections()) {
    if (s.values.empty()) continue;
    out += '[';
    append_escaped(out, s.name.empty() ? kStoreOwnSection : std::string_view(s.name), true);
    out += "]\n";
    for (const auto& [name, value] : s.values) {
      append_escaped(out, name, true);
      out += '=';
      if (const auto* d = std::get_if<uint32_t>(&value)) {
        out += "dword:";
        out += std::to_string(*d);
      } else if (const auto* t = std::get_if<std::string>(&value)) {
        out += "text:";
        append_escaped(out, *t, false);
      } else {
        out += "binary:";
        for (uint8_t b : std::get<std::vector<uint8_t>>(value)) {
          out += kHexLower[b >> 4];
          out += kHexLower[b & 0xF];
        }
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace lw
