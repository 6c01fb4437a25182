// The values typed on the command line, checked before any port is opened:
// the download's parameters against the limits of the panel's controls, read
// from the panel file (nuvaro.uir) where they live, and the rate command's
// count and interval. A value is a whole number in the control's range, or
// one of a ring's item values; nothing the panel lacks is checked (a sweep
// minimum above its maximum passes, as on the panel).
#pragma once

#include <string>

#include "app/state/settings.h"
#include "cli/options.h"

namespace cli {

// The download's Settings from `in`: its work mode, then every parameter of
// the mode. false, with the reason in `error`, for a value the panel would not
// take or a panel file that cannot be read.
bool SettingsFromArguments(const Invocation &in, SettingsRecord *settings, std::string *error);

struct Polling {
  long long count = 0;   // 0: until interrupted
  double interval = 0.5; // seconds from one poll to the next, as the panel's timer
};

// The rate command's --count and --interval. false, with the reason.
bool PollingFromArguments(const Invocation &in, Polling *polling, std::string *error);

} // namespace cli
