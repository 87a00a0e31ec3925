#include "lab/alerts.h"

#include <algorithm>
#include <cstring>

#include "base/trim.h"
#include "base/unicode.h"
#include "base/utf8.h"
#include "lab/same_text.h"
#include "lang/tr.h"
#include "settings/values.h"

namespace lw {

namespace {

constexpr int64_t kNoticeSpacingMs = 1'000;

// Lower-cases into a reused buffer. Runs of ASCII, the common case, are
// written straight into place without decoding.
void lower_unicode_into(std::string_view text, std::string& out) {
  out.resize(text.size());
  size_t w = 0;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out[w++] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
      ++i;
      continue;
    }
    out.resize(w);
    const Utf8Step step = decode_utf8(text, i);
    if (step.length == 0) {
      out += static_cast<char>(c);
      ++i;
    } else {
      unicode::append_lower(out, step.scalar);
      i += step.length;
    }
    w = out.size();
    // Room for the rest, which may be ASCII again.
    out.resize(w + (text.size() - i));
  }
  out.resize(w);
}

// An all-ASCII line, by far the most common, is lowered eight bytes at a
// time; any other byte hands the line to the full rule.
void lower_into(std::string_view text, std::string& out) {
  constexpr uint64_t kHigh = 0x8080808080808080;
  constexpr uint64_t kOnes = 0x0101010101010101;
  const size_t n = text.size();
  bool ascii = true;
  out.resize_and_overwrite(n, [&](char* p, size_t) {
    const char* s = text.data();
    // Eight bytes from `at`; false for a byte that is not ASCII.
    const auto lower8 = [&](size_t at) {
      uint64_t w;
      std::memcpy(&w, s + at, 8);
      if (w & kHigh) return false;
      // Bytes from 'A' to 'Z' get their high bit set in `upper`, from which
      // 0x20 is added to just them.
      const uint64_t from_a = w + kOnes * (0x80 - 'A');
      const uint64_t past_z = w + kOnes * (0x80 - 'Z' - 1);
      const uint64_t upper = from_a & ~past_z & kHigh;
      w |= upper >> 2;
      std::memcpy(p + at, &w, 8);
      return true;
    };
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      if (!lower8(i)) {
        ascii = false;
        return n;
      }
    }
    // The last few bytes as the last eight: lowering twice changes nothing.
    if (i < n && n >= 8) {
      ascii = lower8(n - 8);
      return n;
    }
    for (; i < n; ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (c >= 0x80) {
        ascii = false;
        return n;
      }
      p[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    }
    return n;
  });
  if (!ascii) lower_unicode_into(text, out);
}

const ExtractedValue* first_named(std::span<const ExtractedValue> values, std::string_view name) {
  for (const ExtractedValue& v : values) {
    if (same_text(v.name, name)) return &v;
  }
  return nullptr;
}

}  // namespace

bool TabAlerts::is_alert_line(uint64_t line_number) const {
  return std::binary_search(alert_lines.begin(), alert_lines.end(), line_number);
}

AlertBook::AlertBook(Settings& settings, Clock& clock)
    : settings_(settings), clock_(clock), last_notice_at_(clock.monotonic_ms() - 10'000) {}

void AlertBook::load_rules() {
  const std::optional<std::string> text = rules_text(settings_);
  rules_ = text ? parse_rules(*text) : std::vector<AlertRule>{};
  rules_changed();
}

void AlertBook::store_rules() { set_rules_text(settings_, format_rules(rules_)); }

void AlertBook::rules_changed() {
  lower_needles_.clear();
  has_text_rules_ = false;
  for (const AlertRule& r : rules_) {
    if (r.kind == AlertKind::Text) {
      lower_needles_.push_back(unicode::to_lower(r.needle));
      has_text_rules_ = has_text_rules_ || !r.needle.empty();
    } else {
      lower_needles_.emplace_back();
    }
  }
}

AlertOutcome AlertBook::check_line(TabAlerts& tab, uint64_t line_number, uint64_t dropped,
                                   Millis stamp, std::string_view text,
                                   std::span<const ExtractedValue> values,
                                   std::string_view port_name) {
  AlertOutcome out;
  if (rules_.empty()) return out;
  // The line is lower-cased once, and only when a text rule will look at it.
  if (has_text_rules_) lower_into(text, lower_line_);
  fired_.clear();
  for (size_t i = 0; i < rules_.size(); ++i) {
    AlertRule& r = rules_[i];
    bool fires = false;
    if (r.kind == AlertKind::Text) {
      const std::string& needle = lower_needles_[i];
      fires = !needle.empty() && std::string_view(lower_line_).find(needle) != std::string::npos;
    } else {
      const ExtractedValue* v = first_named(values, r.series_name);
      if (v == nullptr) continue;
      const bool beyond = r.kind == AlertKind::Above ? v->value > r.limit : v->value < r.limit;
      fires = beyond && !r.beyond;
      r.beyond = beyond;
    }
    if (fires) {
      ++r.fired_count;
      fired_.push_back(i);
    }
  }
  if (fired_.empty()) return out;
  out.fired = true;

  if (tab.alert_lines.empty() || tab.alert_lines.back() < line_number) {
    tab.alert_lines.push_back(line_number);
  } else if (!tab.is_alert_line(line_number)) {
    tab.alert_lines.insert(
        std::lower_bound(tab.alert_lines.begin(), tab.alert_lines.end(), line_number), line_number);
  }
  if (tab.alert_lines.size() > kAlertLinesPruneAt) {
    while (!tab.alert_lines.empty() && tab.alert_lines.front() < dropped) {
      tab.alert_lines.pop_front();
    }
  }
  ++tab.alert_total;

  bool save = false;
  bool sound = false;
  for (size_t i : fired_) {
    save = save || rules_[i].save_log_around;
    sound = sound || rules_[i].play_sound;
  }
  if (save) {
    // Alerts close together share one file.
    const bool covered = std::any_of(
        tab.pending_saves.begin(), tab.pending_saves.end(), [&](const PendingAlertSave& p) {
          const Millis d = p.alert_at > stamp ? p.alert_at - stamp : stamp - p.alert_at;
          return d < kAlertSaveHalfSpan;
        });
    if (!covered) tab.pending_saves.push_back({stamp + kAlertSaveHalfSpan, stamp});
  }

  const int64_t now = clock_.monotonic_ms();
  if (now - last_notice_at_ > kNoticeSpacingMs) {
    last_notice_at_ = now;
    out.beep = sound;
    std::string described;
    for (size_t k = 0; k < fired_.size(); ++k) {
      if (k > 0) described += ", ";
      described += describe(rules_[fired_[k]]);
    }
    out.notice = LabNotice{
        fill(tr("알림: {0} ({1})", "Alert: {0} ({1})"), {described, port_name}), true, {}};
  }
  return out;
}

LabNotice AlertBook::add_value_alert(std::string_view series_name, AlertKind kind,
                                     std::string_view limit_text) {
  const std::optional<double> limit = read_limit(limit_text);
  if (!limit) return LabNotice{tr("숫자를 입력하세요", "Type a number"), true, {}};
  rules_.push_back(value_rule(kind, series_name, *limit));
  rules_changed();
  store_rules();
  return LabNotice{tr("알림을 추가했습니다", "Alert added"), false, {}};
}

std::optional<LabNotice> AlertBook::add_text_alert(std::string_view text) {
  const std::string_view needle = trim_white_space(text);
  if (needle.empty()) return std::nullopt;
  rules_.push_back(text_rule(needle));
  rules_changed();
  store_rules();
  return LabNotice{tr("알림을 추가했습니다", "Alert added"), false, {}};
}

void AlertBook::toggle_save_log_around(size_t index) {
  if (index >= rules_.size()) return;
  rules_[index].save_log_around = !rules_[index].save_log_around;
  store_rules();
}

void AlertBook::toggle_play_sound(size_t index) {
  if (index >= rules_.size()) return;
  rules_[index].play_sound = !rules_[index].play_sound;
  store_rules();
}

void AlertBook::remove_alert(size_t index) {
  if (index >= rules_.size()) return;
  rules_.erase(rules_.begin() + static_cast<std::ptrdiff_t>(index));
  rules_changed();
  store_rules();
}

}  // namespace lw
