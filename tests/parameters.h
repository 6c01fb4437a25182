// The operator's parameters as the tests know them: one row per field of
// Settings, and what the tests derive from the rows (the record as the shipped
// panel starts, and how gtest prints one). A new field of Settings is a new
// row here and nowhere else in the tests; the build fails until it has one.
#pragma once

#include <iterator>
#include <ostream>

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "runtime/core/events.h"

// A parameter: its field's name, its control, the event its callback acts
// on, the field of Settings it stores, whether it is a sweep one (dimmed in
// fixed-rate mode), its value as the shipped panel starts, and another value
// the control takes.
struct Parameter {
  const char *name;
  int control, event;
  int SettingsRecord::*field;
  bool sweep;
  int start, other;
};

// The numeric ones first, the two rings last.
inline constexpr Parameter kParameters[] = {
    {"rate", CTL_RATE, EVENT_VAL_CHANGED, &SettingsRecord::rate, false, 3000, 4321},
    {"sweepMin", CTL_SWEEPMIN, EVENT_COMMIT, &SettingsRecord::sweepMin, true, 1000, 1500},
    {"sweepMax", CTL_SWEEPMAX, EVENT_COMMIT, &SettingsRecord::sweepMax, true, 6000, 5500},
    {"sweepStep", CTL_SWEEPSTEP, EVENT_COMMIT, &SettingsRecord::sweepStep, true, 100, 250},
    {"repeat", CTL_REPEAT, EVENT_COMMIT, &SettingsRecord::repeat, true, 1, 7},
    {"angle", CTL_ANGLE, EVENT_COMMIT, &SettingsRecord::angle, false, 30, 90},
    {"width", CTL_WIDTH, EVENT_COMMIT, &SettingsRecord::width, false, 100, 333},
    {"signalMode", CTL_SIGNALMODE, EVENT_COMMIT, &SettingsRecord::signalMode, false, 1, 0},
    {"workMode", CTL_WORKMODE, EVENT_COMMIT, &SettingsRecord::workMode, false, 1, 0},
};
static_assert(std::size(kParameters) * sizeof(int) == sizeof(SettingsRecord),
              "every field of SettingsRecord needs its row in kParameters");

// Settings as the shipped panel starts.
inline SettingsRecord PanelStart() {
  SettingsRecord s{};
  for (const Parameter &p : kParameters)
    s.*p.field = p.start;
  return s;
}

inline void PrintTo(const SettingsRecord &s, std::ostream *os) {
  const char *separator = "{";
  for (const Parameter &p : kParameters) {
    *os << separator << p.name << " " << s.*p.field;
    separator = ", ";
  }
  *os << "}";
}
