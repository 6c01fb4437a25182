// A port's claim among the programs of this machine, held while the port is
// open. On POSIX Qt's lock file and the terminal's exclusive flag do this.
// On Windows the port's driver refuses a second open, but Wine's serial
// ports (a pseudo-terminal behind a COM name) open as often as asked: the
// claim is a named mutex per port, which every nuvaro program takes, and
// which the system releases with the process however it ends. Files:
// port_claim_posix.cpp, port_claim_win.cpp.
#pragma once

#include <memory>
#include <string>

namespace rt {

class PortClaim {
public:
  virtual ~PortClaim() = default;
};

// The claim on `path`, or nullptr when another program holds it.
std::unique_ptr<PortClaim> ClaimPort(const std::string &path);

} // namespace rt
