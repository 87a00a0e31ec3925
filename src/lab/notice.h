#pragma once
// The measurement code never touches the window: it returns notices for the
// caller to show.
#include "base/notice.h"

namespace lw {

using LabNotice = Notice;

}  // namespace lw
