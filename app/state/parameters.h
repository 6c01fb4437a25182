// The operator's parameters, one row each: the one place that says what each
// one is. The parameter callbacks (panel/params.cpp), init's reading of the
// panel (app/lifecycle.cpp), the work-mode dimming, the control table
// (app/control_table.cpp), the commands' formats and the modes that send them
// (link/vocabulary.cpp), nuvaroctl's options and the tests' parameters all
// read it. Data only (names, modes, format text), so that app/state still
// depends on nothing and nuvaroctl may see it. What stays elsewhere: a
// parameter's range and start value, with its control in the panel file; the
// order of the download's commands, in link/sequence.cpp (the tests check it
// against this table).
#pragma once

#include <string_view>

#include "app/state/controls.h"
#include "app/state/settings.h"

// The work modes whose download sends a parameter. One sent in a single mode
// is dimmed in the other.
constexpr int SENT_IN_FIXED_RATE = 1;
constexpr int SENT_IN_SWEEP = 2;
constexpr int SENT_IN_BOTH = SENT_IN_FIXED_RATE | SENT_IN_SWEEP;

// What a parameter's callback does besides storing the control's value in its
// field and painting the send button pending.
constexpr int ON_VALUE_CHANGED = 1 << 0;    // acts on every change, not on commit
constexpr int PENDING_BEFORE_READ = 1 << 1; // paints the button before it reads
constexpr int REPLOTS = 1 << 2;             // the preview follows it
constexpr int SETS_METER_MINIMUM = 1 << 3;  // the rate meter's range follows it
constexpr int SETS_METER_MAXIMUM = 1 << 4;
constexpr int SELECTS_WORK_MODE = 1 << 5; // dims what the chosen mode does not send

struct ParameterRow {
  const char *name;           // its field's name, as the tests print it
  int SettingsRecord::*field; // where init and its callback store it
  int control;                // its control's ID
  const char *objectName;     // that control's objectName in the panel file
  const char *callback;       // the callback the panel file names for it
  int sentIn;                 // SENT_IN_*: the work modes whose download sends it
  // The command that carries it, as a Fmt format: one "%d" for a parameter of
  // its own command. A choice's two commands: `format` for a nonzero value,
  // `zeroFormat` for 0 ("" for a parameter with a number).
  const char *format;
  const char *zeroFormat;
  const char *option;      // nuvaroctl's option, without "--"; "" for none
  const char *placeholder; // the option's value in nuvaroctl --help
  const char *meaning;     // what the option gives, for nuvaroctl(1)'s OPTIONS
  int traits;              // what its callback does, above
};

// In the order init reads them (the signal mode first: the preview needs it)
// and the dimming sets them.
inline constexpr ParameterRow kParameterTable[] = {
    {"signalMode", &SettingsRecord::signalMode, CTL_SIGNALMODE, "CTL_SIGNALMODE", "SingalMode",
     SENT_IN_BOTH, "F3,", "F4,", "signal-mode", "M",
     "the signal mode, as the panel's list offers it: 1 or 0", PENDING_BEFORE_READ | REPLOTS},
    {"rate", &SettingsRecord::rate, CTL_RATE, "CTL_RATE", "Rate", SENT_IN_FIXED_RATE, "R%d,", "",
     "rate", "R", "the rate in revolutions per minute", ON_VALUE_CHANGED | REPLOTS},
    {"angle", &SettingsRecord::angle, CTL_ANGLE, "CTL_ANGLE", "Tqj", SENT_IN_BOTH, "T%d,", "",
     "angle", "A", "the angle in degrees of one revolution", REPLOTS},
    {"width", &SettingsRecord::width, CTL_WIDTH, "CTL_WIDTH", "Tig_Width", SENT_IN_BOTH, "W%d,", "",
     "width", "W", "the pulse width in microseconds", REPLOTS},
    // nuvaroctl takes the work mode as its download's word: fixed or sweep.
    {"workMode", &SettingsRecord::workMode, CTL_WORKMODE, "CTL_WORKMODE", "WorkMode", SENT_IN_BOTH,
     "F1,", "F2,", "", "", "", SELECTS_WORK_MODE},
    // One command carries the sweep's three bounds.
    {"sweepMin", &SettingsRecord::sweepMin, CTL_SWEEPMIN, "CTL_SWEEPMIN", "SweepMin", SENT_IN_SWEEP,
     "D%d,%d,%d,", "", "min", "L", "the lower bound of the sweep, in revolutions per minute",
     SETS_METER_MINIMUM},
    {"sweepMax", &SettingsRecord::sweepMax, CTL_SWEEPMAX, "CTL_SWEEPMAX", "SweepMax", SENT_IN_SWEEP,
     "D%d,%d,%d,", "", "max", "H", "the upper bound of the sweep, in revolutions per minute",
     SETS_METER_MAXIMUM},
    {"sweepStep", &SettingsRecord::sweepStep, CTL_SWEEPSTEP, "CTL_SWEEPSTEP", "SweepStep",
     SENT_IN_SWEEP, "D%d,%d,%d,", "", "step", "S",
     "the step of the sweep, in revolutions per minute", 0},
    {"repeat", &SettingsRecord::repeat, CTL_REPEAT, "CTL_REPEAT", "Repeat", SENT_IN_SWEEP, "P%d,",
     "", "repeat", "N", "how often the sweep repeats", 0},
};
inline constexpr int kParameterCount =
    static_cast<int>(sizeof kParameterTable / sizeof kParameterTable[0]);
static_assert(kParameterCount * sizeof(int) == sizeof(SettingsRecord),
              "every field of SettingsRecord needs its row in kParameterTable");

// No two rows share a field, a control, an objectName, a callback or an option.
constexpr bool ParameterRowsAreDistinct() {
  for (int i = 0; i < kParameterCount; ++i) {
    for (int j = i + 1; j < kParameterCount; ++j) {
      const ParameterRow &a = kParameterTable[i], &b = kParameterTable[j];
      if (a.field == b.field || a.control == b.control ||
          std::string_view(a.objectName) == b.objectName ||
          std::string_view(a.callback) == b.callback ||
          (*a.option && std::string_view(a.option) == b.option))
        return false;
    }
  }
  return true;
}
static_assert(ParameterRowsAreDistinct(), "two parameters share a field, control, name or option");

// The row of a field, or of a control; nullptr for none.
constexpr const ParameterRow *ParameterOfField(int SettingsRecord::*field) {
  for (const ParameterRow &p : kParameterTable)
    if (p.field == field)
      return &p;
  return nullptr;
}
constexpr const ParameterRow *ParameterOfControl(int control) {
  for (const ParameterRow &p : kParameterTable)
    if (p.control == control)
      return &p;
  return nullptr;
}

// The format of the command that carries `field`'s value.
constexpr const char *FormatOf(int SettingsRecord::*field) {
  return ParameterOfField(field)->format;
}
