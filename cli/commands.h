// nuvaroctl's commands. Each returns the exit status: 0 everything
// acknowledged (rate: at least one reading), 1 the device refused or did not
// answer, or its replies ran late so that the outcome is unknown (or the
// output could not be written), 2 a bad value, 3 the port could not be
// opened. A stop signal ends the program as on the panel: the port closed
// first, then the signal's own ending.
#pragma once

#include "cli/options.h"
#include "cli/output.h"

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitDevice = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPort = 3;

int Ports(const Invocation &in, Output &out);
int Download(const Invocation &in, Output &out);
int Check(const Invocation &in, Output &out);
int Rate(const Invocation &in, Output &out);

} // namespace cli
