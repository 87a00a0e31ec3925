// The stored alert rules ("Rules"). Rules that load have a name and fresh
// counters, and stored again they load back the same; rules made from any
// names and limits store and load back with tabs and line feeds in names
// turned to spaces, the limit to the bit (but the sign of zero), and a rule
// without a name left out. A limit typed in the dialog stores as itself.
//
// Input: the stored text; the same bytes also make a list of rules and a
// typed limit.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/number_format.h"
#include "fuzz_support.h"
#include "lab/alert_rules.h"

namespace {

using lw::AlertKind;
using lw::AlertRule;

bool same_limit(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool same_rule(const AlertRule& a, const AlertRule& b) {
  if (a.kind != b.kind || a.save_log_around != b.save_log_around || a.play_sound != b.play_sound) {
    return false;
  }
  if (a.kind == AlertKind::Text) return a.needle == b.needle;
  return a.series_name == b.series_name && same_limit(a.limit, b.limit);
}

bool same_rules(const std::vector<AlertRule>& a, const std::vector<AlertRule>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!same_rule(a[i], b[i])) return false;
  }
  return true;
}

std::string stored_name(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c == '\t' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<AlertRule> loaded = lw::parse_rules(lw::fuzz::as_text(data, size));
  for (const AlertRule& r : loaded) {
    LW_FUZZ_CHECK(r.fired_count == 0 && !r.beyond);
    const std::string& name = r.kind == AlertKind::Text ? r.needle : r.series_name;
    LW_FUZZ_CHECK(!name.empty());
    LW_FUZZ_CHECK(name.find_first_of("\t\n") == std::string::npos);
  }
  LW_FUZZ_CHECK(same_rules(lw::parse_rules(lw::format_rules(loaded)), loaded));

  lw::fuzz::FuzzInput in(data, size);
  std::vector<AlertRule> made;
  std::vector<AlertRule> expected;
  const size_t count = in.byte() % 8;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t shape = in.byte();
    const std::string_view name = in.short_text();
    const double limit = in.f64();
    AlertRule r;
    switch (shape % 3) {
      case 0:
        r = lw::value_rule(AlertKind::Above, name, limit);
        break;
      case 1:
        r = lw::value_rule(AlertKind::Below, name, limit);
        break;
      default:
        r = lw::text_rule(name);
        break;
    }
    r.save_log_around = (shape & 0x10) != 0;
    r.play_sound = (shape & 0x20) != 0;
    r.fired_count = shape;
    r.beyond = (shape & 0x40) != 0;
    made.push_back(r);
    // Numbers are stored in plain decimal form.
    if (std::isfinite(limit)) {
      LW_FUZZ_CHECK(lw::format_shortest(limit).find_first_of("eE") == std::string::npos);
    }
    if (name.empty()) continue;
    AlertRule e = r;
    (e.kind == AlertKind::Text ? e.needle : e.series_name) = stored_name(name);
    expected.push_back(e);
  }
  const std::vector<AlertRule> back = lw::parse_rules(lw::format_rules(made));
  LW_FUZZ_CHECK(same_rules(back, expected));
  for (const AlertRule& r : back) LW_FUZZ_CHECK(r.fired_count == 0 && !r.beyond);

  // A typed limit, as the dialog would store it.
  if (const std::optional<double> typed = lw::read_limit(in.short_text())) {
    const std::vector<AlertRule> one = {lw::value_rule(AlertKind::Above, "T", *typed)};
    const std::vector<AlertRule> read = lw::parse_rules(lw::format_rules(one));
    LW_FUZZ_CHECK(read.size() == 1 && same_limit(read[0].limit, *typed));
  }
  return 0;
}
