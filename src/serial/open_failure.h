#pragma once
// The session state text for each way an open can fail.
#include <optional>
#include <string>
#include <string_view>

#include "session/records.h"

namespace lw {

// port_name: the port as the tab names it (COM3, ttyUSB0, or the path the
// user typed), for the texts that say which device they mean. A Busy port
// whose holder was seen names it.
std::string open_failure_text(OpenFailure failure, std::string_view port_name,
                              const std::optional<PortHolder>& holder = std::nullopt);

}  // namespace lw
