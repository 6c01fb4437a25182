// The operator's parameters as the tests know them: each row of the parameter
// table (app/state/parameters.h) with what the panel file says of its control
// (its start value, whether it is a ring, another value it takes), and what
// the tests derive from them (the record as the shipped panel starts, and how
// gtest prints one). Nothing here restates the table or the panel file: a new
// parameter is a row of the table, and these follow.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/state/parameters.h"
#include "app/state/settings.h"
#include "runtime/core/events.h"
#include "runtime/core/panel_limits.h"

// A parameter: its field's name, its control, the event its callback acts
// on, the field of Settings it stores, whether it is dimmed in fixed-rate
// mode (sent in a sweep only), whether its control is a ring, its value as
// the shipped panel starts, and another value the control takes.
struct Parameter {
  const char *name;
  int control, event;
  int SettingsRecord::*field;
  bool sweep, ring;
  int start, other;
  const ParameterRow *row;
};

// Every parameter, in the table's order; the panel file is read once.
inline const std::vector<Parameter> &Parameters() {
  static const std::vector<Parameter> parameters = [] {
    std::map<int, rt::ControlLimits> limits;
    std::string error;
    // The source's panel file, which the build copies beside the programs:
    // read before any Qt application exists.
    if (!rt::ReadControlLimits(NUVARO_SOURCE_DIR "/app/nuvaro.uir", &limits, &error)) {
      std::fprintf(stderr, "tests: the panel file: %s\n", error.c_str());
      std::abort();
    }
    std::vector<Parameter> rows;
    for (const ParameterRow &p : kParameterTable) {
      const auto found = limits.find(p.control);
      if (found == limits.end()) {
        std::fprintf(stderr, "tests: the panel file has no control for %s\n", p.name);
        std::abort();
      }
      const rt::ControlLimits &l = found->second;
      // Another value: a ring's other item, or one step inside the range.
      int other = l.start < l.maximum ? l.start + 1 : l.start - 1;
      if (l.ring)
        for (int c : l.choices)
          if (c != l.start)
            other = c;
      rows.push_back({p.name, p.control,
                      p.traits & ON_VALUE_CHANGED ? EVENT_VAL_CHANGED : EVENT_COMMIT, p.field,
                      p.sentIn == SENT_IN_SWEEP, l.ring, l.start, other, &p});
    }
    return rows;
  }();
  return parameters;
}

// Settings as the shipped panel starts.
inline SettingsRecord PanelStart() {
  SettingsRecord s{};
  for (const Parameter &p : Parameters())
    s.*p.field = p.start;
  return s;
}

inline void PrintTo(const SettingsRecord &s, std::ostream *os) {
  const char *separator = "{";
  for (const ParameterRow &p : kParameterTable) {
    *os << separator << p.name << " " << s.*p.field;
    separator = ", ";
  }
  *os << "}";
}
