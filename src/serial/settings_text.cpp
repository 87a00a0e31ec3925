#include "serial/settings_text.h"

#include <algorithm>
#include <vector>

#include "base/ascii.h"
#include "lang/tr.h"

namespace lw {
namespace {

constexpr std::array<std::string_view, 5> kParityLetters = {"N", "O", "E", "M", "S"};
constexpr std::array<std::string_view, 3> kStopBitsTexts = {"1", "1.5", "2"};

// Decimal digits with an optional leading "+", at most 4294967295.
std::optional<uint32_t> parse_unsigned(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  return parse_decimal(s);
}

template <size_t N>
std::optional<uint8_t> index_of(const std::array<std::string_view, N>& texts, std::string_view s) {
  for (size_t i = 0; i < N; ++i) {
    if (texts[i] == s) return static_cast<uint8_t>(i);
  }
  return std::nullopt;
}

}  // namespace

std::string_view parity_letter(uint8_t parity) {
  return parity < kParityLetters.size() ? kParityLetters[parity] : "?";
}

std::string_view stop_bits_text(uint8_t stop_bits) {
  return stop_bits < kStopBitsTexts.size() ? kStopBitsTexts[stop_bits] : "?";
}

std::string frame_summary(const PortSettings& s) {
  std::string out = std::to_string(s.data_bits);
  out += parity_letter(s.parity);
  out += stop_bits_text(s.stop_bits);
  return out;
}

std::string format_port_settings(const PortSettings& s) {
  std::string out = std::to_string(s.baud);
  out += ',';
  out += std::to_string(s.data_bits);
  out += ',';
  out += parity_letter(s.parity);
  out += ',';
  out += stop_bits_text(s.stop_bits);
  out += s.dtr ? ",1" : ",0";
  out += s.rts ? ",1" : ",0";
  return out;
}

std::optional<PortSettings> parse_port_settings(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    fields.push_back(
        text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() != 6) return std::nullopt;

  const std::optional<uint32_t> baud = parse_unsigned(fields[0]);
  const std::optional<uint32_t> data = parse_unsigned(fields[1]);
  const std::optional<uint8_t> parity = index_of(kParityLetters, fields[2]);
  const std::optional<uint8_t> stop = index_of(kStopBitsTexts, fields[3]);
  if (!baud || !baud_in_range(*baud)) return std::nullopt;
  if (!data || *data < 5 || *data > 8) return std::nullopt;
  if (!parity || !stop) return std::nullopt;

  PortSettings s;
  s.baud = *baud;
  s.data_bits = static_cast<uint8_t>(*data);
  s.parity = *parity;
  s.stop_bits = *stop;
  s.dtr = fields[4] == "1";
  s.rts = fields[5] == "1";
  return s;
}

bool is_baud_preset(uint32_t baud) {
  return std::find(kBaudPresets.begin(), kBaudPresets.end(), baud) != kBaudPresets.end();
}

bool baud_in_range(uint32_t baud) { return baud >= kMinBaud && baud <= kMaxBaud; }

std::string custom_baud_label(uint32_t tab_baud) {
  if (is_baud_preset(tab_baud)) return tr("직접 입력…", "Custom…");
  return fill(tr("직접 입력… ({0})", "Custom… ({0})"), {std::to_string(tab_baud)});
}

}  // namespace lw
