#include "lab/alert_rules.h"

#include "base/number_format.h"
#include "base/trim.h"
#include "lab/decimal.h"
#include "lab/series.h"

namespace lw {

namespace {

std::string_view kind_word(AlertKind kind) {
  switch (kind) {
    case AlertKind::Above:
      return "above";
    case AlertKind::Below:
      return "below";
    case AlertKind::Text:
      break;
  }
  return "text";
}

// Tabs and line feeds would break the stored line apart.
void append_field(std::string& out, std::string_view text) {
  for (char c : text) out += (c == '\t' || c == '\n') ? ' ' : c;
}

std::optional<AlertRule> parse_rule(std::string_view line) {
  std::string_view fields[5];
  size_t count = 0;
  size_t from = 0;
  while (true) {
    const size_t tab = line.find('\t', from);
    if (count == 5) return std::nullopt;
    fields[count++] = line.substr(from, tab == std::string_view::npos ? tab : tab - from);
    if (tab == std::string_view::npos) break;
    from = tab + 1;
  }
  if (count != 5 || fields[1].empty()) return std::nullopt;
  AlertRule rule;
  if (fields[0] == "text") {
    rule = text_rule(fields[1]);
  } else if (fields[0] == "above" || fields[0] == "below") {
    const std::optional<double> limit = read_decimal(fields[2]);
    if (!limit) return std::nullopt;
    rule =
        value_rule(fields[0] == "above" ? AlertKind::Above : AlertKind::Below, fields[1], *limit);
  } else {
    return std::nullopt;
  }
  rule.save_log_around = fields[3] == "1";
  rule.play_sound = fields[4] == "1";
  return rule;
}

}  // namespace

AlertRule value_rule(AlertKind kind, std::string_view series_name, double limit) {
  AlertRule r;
  r.kind = kind;
  r.series_name = std::string(series_name);
  r.limit = limit;
  return r;
}

AlertRule text_rule(std::string_view needle) {
  AlertRule r;
  r.kind = AlertKind::Text;
  r.needle = std::string(needle);
  return r;
}

std::string describe(const AlertRule& rule) {
  switch (rule.kind) {
    case AlertKind::Above:
      return rule.series_name + " > " + format_value(rule.limit);
    case AlertKind::Below:
      return rule.series_name + " < " + format_value(rule.limit);
    case AlertKind::Text:
      break;
  }
  return "\"" + rule.needle + "\"";
}

std::string format_rules(const std::vector<AlertRule>& rules) {
  std::string out;
  for (size_t i = 0; i < rules.size(); ++i) {
    const AlertRule& r = rules[i];
    if (i > 0) out += '\n';
    out += kind_word(r.kind);
    out += '\t';
    append_field(out, r.kind == AlertKind::Text ? r.needle : r.series_name);
    out += '\t';
    if (r.kind != AlertKind::Text) append_shortest(out, r.limit);
    out += '\t';
    out += r.save_log_around ? '1' : '0';
    out += '\t';
    out += r.play_sound ? '1' : '0';
  }
  return out;
}

std::vector<AlertRule> parse_rules(std::string_view text) {
  std::vector<AlertRule> rules;
  size_t from = 0;
  while (from <= text.size()) {
    const size_t lf = text.find('\n', from);
    std::string_view line = text.substr(from, lf == std::string_view::npos ? lf : lf - from);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (std::optional<AlertRule> rule = parse_rule(line)) rules.push_back(std::move(*rule));
    if (lf == std::string_view::npos) break;
    from = lf + 1;
  }
  return rules;
}

std::optional<double> read_limit(std::string_view text) {
  std::string s(trim_white_space(text));
  for (char& c : s) {
    if (c == ',') c = '.';
  }
  return read_decimal(s);
}

}  // namespace lw
