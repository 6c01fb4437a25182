#include "cli/run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/output.h"
#include "runtime/core/console_ops.h"

namespace cli {

int Run(int argc, char **argv) {
  // First, so that a stop signal from now on closes the port before the end.
  if (InitConsoleRTE(argv) == 0) {
    Error("the run-time could not start");
    return kExitDevice;
  }
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  Invocation in;
  std::string error;
  if (!ParseArguments(args, &in, &error)) {
    Error(error);
    std::fputs("Try 'nuvaroctl --help'.\n", stderr);
    return kExitUsage;
  }
  Output out(in.json);
  // Like every other output: a full disk or a closed pipe is not success.
  if (in.help || in.version) {
    out.Text(in.help ? Usage(ManualPlace()) : "nuvaroctl (nuvaro) " NUVARO_VERSION "\n");
    return out.Written() ? kExitOk : kExitDevice;
  }
  switch (in.command) {
  case Command::Ports: return Ports(in, out);
  case Command::Download: return Download(in, out);
  case Command::Check: return Check(in, out);
  case Command::Rate: return Rate(in, out);
  case Command::None: break;
  }
  return kExitUsage;
}

} // namespace cli
