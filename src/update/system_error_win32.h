#pragma once
// The system's text for a Windows error code.
#include <windows.h>

#include "base/result.h"

namespace lw {

Error windows_error(DWORD code);

}  // namespace lw
