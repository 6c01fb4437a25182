// The download's parameters on the command line: the rows of the parameter
// table (app/state/parameters.h) that have an option. Each row gives the
// option's name and placeholder, the panel control whose limits it meets,
// the field of Settings it fills and the modes it belongs to; the parser, the
// --help text and the value check all read them there.
#pragma once

#include <vector>

#include "app/state/parameters.h"

namespace cli {

// The parameters with an option: those the download's mode sends first, then
// those both modes send, each in the table's order (--help lists them so).
inline std::vector<const ParameterRow *> OptionParameters() {
  std::vector<const ParameterRow *> rows;
  for (const bool shared : {false, true})
    for (const ParameterRow &p : kParameterTable)
      if (*p.option && (p.sentIn == SENT_IN_BOTH) == shared)
        rows.push_back(&p);
  return rows;
}

// Whether the download of the mode (a sweep, or a fixed rate) needs `p`.
inline bool NeededIn(const ParameterRow &p, bool sweep) {
  return (p.sentIn & (sweep ? SENT_IN_SWEEP : SENT_IN_FIXED_RATE)) != 0;
}

} // namespace cli
