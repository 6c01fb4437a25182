// The limits of the panel's value controls, read from the panel file as it
// stands, without building the panel: a program without the window
// (nuvaroctl) takes only what the operator could set on it, and the limits
// stay in the one file that defines them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace rt {

struct ControlLimits {
  bool ring = false; // a ring: `choices` hold its items' values; else a numeric control
  int minimum = 0;   // a numeric control's range
  int maximum = 0;
  std::vector<int> choices;
  int start = 0; // the value it starts with: its value in its range, or a ring's first item's
};

// The limits of every numeric control and ring of the panel file
// `fileName`, by control ID (ctrlId), as the panel applies them: a numeric
// control's minimum and maximum (Qt's spin box defaults, 0 and 99, where the
// file gives none), a ring's item values (itemValues, or an item's index),
// and the value each starts with. A
// bare name is searched for as LoadPanel searches for it. false, with the
// reason in `error`, when the file cannot be read, is no form, or gives two
// controls one ID.
bool ReadControlLimits(const char *fileName, std::map<int, ControlLimits> *limits,
                       std::string *error);

} // namespace rt
