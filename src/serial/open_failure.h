#pragma once
// The session state text for each way an open can fail.
#include <string>

#include "session/records.h"

namespace lw {

std::string open_failure_text(OpenFailure failure);

}  // namespace lw
