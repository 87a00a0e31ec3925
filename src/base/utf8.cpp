#include "base/utf8.h"

namespace lw {

Utf8Step decode_utf8(std::string_view s, size_t pos) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(pos);
  if (c < 0x80) return {c, 1};
  size_t need;
  char32_t cp;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) {
    need = 1, cp = c & 0x1Fu, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    need = 2, cp = c & 0x0Fu, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    need = 3, cp = c & 0x07u, min = 0x10000;
  } else {
    return {};
  }
  if (pos + need >= s.size()) return {};
  for (size_t i = 1; i <= need; ++i) {
    const unsigned char t = b(pos + i);
    if ((t & 0xC0) != 0x80) return {};
    cp = (cp << 6) | (t & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
  return {cp, need + 1};
}

size_t valid_utf8_prefix(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Step st = decode_utf8(s, i);
    if (st.length == 0) break;
    i += st.length;
  }
  return i;
}

bool is_valid_utf8(std::string_view s) { return valid_utf8_prefix(s) == s.size(); }

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string utf8_sanitize(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const Utf8Step st = decode_utf8(s, i);
    if (st.length == 0) {
      append_utf8(out, 0xFFFD);
      ++i;
    } else {
      out.append(s.substr(i, st.length));
      i += st.length;
    }
  }
  return out;
}

std::u32string utf32_from_utf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const Utf8Step st = decode_utf8(s, i);
    if (st.length == 0) {
      out.push_back(0xFFFD);
      ++i;
    } else {
      out.push_back(st.scalar);
      i += st.length;
    }
  }
  return out;
}

std::string utf8_from_utf32(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s)
    append_utf8(out, (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) ? 0xFFFD : c);
  return out;
}

std::u16string utf16_from_utf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char32_t c : utf32_from_utf8(s)) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string utf8_from_utf16(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00u);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    append_utf8(out, c);
  }
  return out;
}

}  // namespace lw
