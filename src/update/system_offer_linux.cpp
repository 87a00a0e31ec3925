#include "update/workers.h"

namespace lw {

// Installed from a package, so the package manager updates it.
UpdateOffer system_update_offer() { return UpdateOffer::DownloadPage; }

}  // namespace lw
