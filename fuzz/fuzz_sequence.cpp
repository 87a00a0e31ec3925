// Sequences such as "*RST | wait 500 | MEAS:VOLT?". Every step is a trimmed,
// non-empty text without "|" or a wait of at most an hour; there are never
// more steps than segments; and the steps written back out ("wait N ms" for
// a wait, the text for a send) read back to the same steps, one by one and
// all together.
//
// Input: the sequence text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/trim.h"
#include "fuzz_support.h"
#include "send/sequence.h"

namespace {

using lw::SequenceStep;

std::string step_text(const SequenceStep& step) {
  if (step.kind == SequenceStep::Kind::Send) return step.text;
  return "wait " + std::to_string(step.millis) + " ms";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = lw::fuzz::as_text(data, size);
  const std::vector<SequenceStep> steps = lw::parse_sequence(text);
  const size_t segments = 1 + static_cast<size_t>(std::count(text.begin(), text.end(), '|'));
  LW_FUZZ_CHECK(steps.size() <= segments);

  std::string joined;
  for (const SequenceStep& step : steps) {
    if (step.kind == SequenceStep::Kind::Send) {
      LW_FUZZ_CHECK(!step.text.empty());
      LW_FUZZ_CHECK(step.text.find('|') == std::string::npos);
      LW_FUZZ_CHECK(lw::trim_white_space(step.text) == step.text);
      LW_FUZZ_CHECK(step.millis == 0);
    } else {
      LW_FUZZ_CHECK(step.kind == SequenceStep::Kind::Wait);
      LW_FUZZ_CHECK(step.millis <= lw::kMaxWaitMillis);
      LW_FUZZ_CHECK(step.text.empty());
    }
    const std::vector<SequenceStep> alone = lw::parse_sequence(step_text(step));
    LW_FUZZ_CHECK(alone.size() == 1 && alone[0] == step);
    if (!joined.empty()) joined += " | ";
    joined += step_text(step);
  }
  LW_FUZZ_CHECK(lw::parse_sequence(joined) == steps);
  return 0;
}
