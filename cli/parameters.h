// The download's parameters on the command line: each option, the panel
// control whose limits it meets and the field of Settings it fills, and the
// modes it belongs to. The parser and the value check both read this table.
#pragma once

#include "app/state/controls.h"
#include "app/state/settings.h"

namespace cli {

struct Parameter {
  const char *option; // without its "--"
  int control;        // the panel control whose limits apply
  int SettingsRecord::*field;
  bool fixed; // needed by "download fixed"
  bool sweep; // needed by "download sweep"
};

inline constexpr Parameter kParameters[] = {
    {"rate", CTL_RATE, &SettingsRecord::rate, true, false},
    {"min", CTL_SWEEPMIN, &SettingsRecord::sweepMin, false, true},
    {"max", CTL_SWEEPMAX, &SettingsRecord::sweepMax, false, true},
    {"step", CTL_SWEEPSTEP, &SettingsRecord::sweepStep, false, true},
    {"repeat", CTL_REPEAT, &SettingsRecord::repeat, false, true},
    {"angle", CTL_ANGLE, &SettingsRecord::angle, true, true},
    {"width", CTL_WIDTH, &SettingsRecord::width, true, true},
    {"signal-mode", CTL_SIGNALMODE, &SettingsRecord::signalMode, true, true},
};

} // namespace cli
