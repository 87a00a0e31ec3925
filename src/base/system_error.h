#pragma once
// The system's own words for an error code, as an Error that keeps the code.
#include <string_view>

#include "base/result.h"

namespace lw {

// An errno value: the C library's text, after "what: " when what is given.
Error errno_error(int code, std::string_view what = {});

#ifdef _WIN32
// A GetLastError value: the system's message without its line end, after
// "what: " when what is given.
Error windows_error(unsigned long code, std::string_view what = {});
// The calling thread's GetLastError() now.
Error last_windows_error(std::string_view what = {});
#endif

}  // namespace lw
