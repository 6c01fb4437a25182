#include "runtime/serial/port_claim.h"

namespace rt {

// Qt's lock file is the claim.
std::unique_ptr<PortClaim> ClaimPort(const std::string &) {
  return std::make_unique<PortClaim>();
}

} // namespace rt
