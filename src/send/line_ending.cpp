#include "send/line_ending.h"

#include "lang/tr.h"

namespace lw {

EndingChoice ending_from_index(std::optional<uint32_t> index) {
  if (!index || *index > 3) return kDefaultEnding;
  return static_cast<EndingChoice>(*index);
}

LineEnding record_ending(EndingChoice e) {
  switch (e) {
    case EndingChoice::Lf:
      return LineEnding::Lf;
    case EndingChoice::Cr:
      return LineEnding::Cr;
    case EndingChoice::CrLf:
      return LineEnding::CrLf;
    case EndingChoice::None:
      break;
  }
  return LineEnding::None;
}

std::string_view ending_bytes(EndingChoice e) {
  switch (e) {
    case EndingChoice::Lf:
      return "\n";
    case EndingChoice::Cr:
      return "\r";
    case EndingChoice::CrLf:
      return "\r\n";
    case EndingChoice::None:
      break;
  }
  return {};
}

std::string ending_name(EndingChoice e) {
  switch (e) {
    case EndingChoice::Lf:
      return "LF";
    case EndingChoice::Cr:
      return "CR";
    case EndingChoice::CrLf:
      return "CRLF";
    case EndingChoice::None:
      break;
  }
  return tr("없음", "None");
}

std::string ending_label(EndingChoice e) {
  return fill(tr("줄 끝 {0}", "Ending {0}"), {ending_name(e)});
}

EndingChoice read_ending(Settings& settings) {
  return ending_from_index(settings.get_dword(kEndingSetting));
}

void store_ending(Settings& settings, EndingChoice e) {
  settings.set_dword(kEndingSetting, ending_index(e));
}

}  // namespace lw
