#pragma once
// The session state text for each way an open can fail.
#include <optional>
#include <string>

#include "session/records.h"

namespace lw {

// A Busy port whose holder was seen names it.
std::string open_failure_text(OpenFailure failure,
                              const std::optional<PortHolder>& holder = std::nullopt);

}  // namespace lw
