// nuvaroctl's download arguments for a Settings record: the command's words
// for its work mode, then the option of each parameter that mode sends, with
// its value, as the parameter table (app/state/parameters.h) names them. No Qt
// and no test framework: bench_cli includes it too.
#pragma once

#include <string>
#include <vector>

#include "app/state/parameters.h"
#include "app/state/settings.h"

inline std::vector<std::string> DownloadArguments(const SettingsRecord &s) {
  std::vector<std::string> args = {"download", s.workMode ? "fixed" : "sweep"};
  const int sent = s.workMode ? SENT_IN_FIXED_RATE : SENT_IN_SWEEP;
  for (const ParameterRow &p : kParameterTable)
    if (*p.option && (p.sentIn & sent))
      args.insert(args.end(), {std::string("--") + p.option, std::to_string(s.*p.field)});
  return args;
}
