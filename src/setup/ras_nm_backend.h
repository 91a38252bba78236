#pragma once

#include <memory>

#include "setup/ras_backend.h"

namespace tolvenmark {

// The dial-up service over NetworkManager on the system bus (busAddress
// overrides it, for tests); empty when NetworkManager does not answer.
std::unique_ptr<RasBackend> MakeNetworkManagerBackend(const char* busAddress = nullptr);

}  // namespace tolvenmark
