#include "update/workers.h"

namespace lw {

UpdateOffer system_update_offer() { return UpdateOffer::Installer; }

}  // namespace lw
