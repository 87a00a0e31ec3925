#include "files/file_names.h"

#include <cstdio>

#include "base/unicode.h"
#include "base/utf8.h"

namespace lw {

namespace {

constexpr size_t kMaxNameChars = 60;

bool is_forbidden(char32_t c) {
  if (c <= 0x1F || (c >= 0x7F && c <= 0x9F)) return true;
  switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '/':
    case '\\':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return false;
  }
}

std::string hhmmss(Millis t) {
  const CivilTime c = civil_from_millis(t);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d", c.hour, c.minute, c.second);
  return buf;
}

}  // namespace

std::string clean_name(std::string_view name) {
  // Invalid bytes become U+FFFD, so the result is always valid UTF-8.
  const std::u32string in = utf32_from_utf8(name);
  std::u32string out;
  bool pending_blank = false;
  for (char32_t c : in) {
    if (is_forbidden(c) || unicode::is_white_space(c)) {
      pending_blank = !out.empty();
      continue;
    }
    if (pending_blank) out.push_back(U' ');
    pending_blank = false;
    out.push_back(c);
  }
  if (out.size() > kMaxNameChars) out.resize(kMaxNameChars);
  while (!out.empty() && (out.back() == U'.' || out.back() == U' ')) out.pop_back();
  return utf8_from_utf32(out);
}

std::string file_base(std::string_view port_name, std::string_view description) {
  std::string base = clean_name(port_name);
  const std::string desc = clean_name(description);
  if (!desc.empty() && desc != base) {
    base += '-';
    base += desc;
  }
  return base;
}

std::string recording_file_name(std::string_view port_name, std::string_view description,
                                std::string_view date, uint32_t part) {
  std::string name = file_base(port_name, description);
  name += '-';
  name += date;
  if (part >= 2) {
    name += '-';
    name += std::to_string(part);
  }
  name += ".txt";
  return name;
}

std::string event_file_name(std::string_view port_name, std::string_view description, Millis time,
                            std::string_view event_word) {
  std::string name = file_base(port_name, description);
  name += '-';
  name += format_date(time);
  name += ' ';
  name += hhmmss(time);
  name += '-';
  name += clean_name(event_word);
  name += ".txt";
  return name;
}

std::string save_log_name(std::string_view port_name, std::string_view description, Millis now) {
  std::string name = file_base(port_name, description);
  name += '-';
  name += format_date(now);
  name += ' ';
  name += hhmmss(now);
  return name;
}

}  // namespace lw
