#include "setup/ras_backend.h"

#include "setup/ras_nm_backend.h"

namespace tolvenmark {

std::unique_ptr<RasBackend> MakeSystemRasBackend() {
    if (auto nm = MakeNetworkManagerBackend("")) return nm;
    return std::make_unique<UnavailableRasBackend>();
}

}  // namespace tolvenmark
