// What a download of the operator's settings puts on the line when the device
// accepts every command at once, and the least time it takes: the one place
// the tests and the benchmarks spell a download's commands, frames and waits.
// Written here, apart from link/vocabulary and the program's constants, so
// that they check the download rather than restate it. No Qt and no test
// framework: bench/ includes it too.
#pragma once

#include <string>
#include <vector>

#include "app/state/settings.h"
#include "fake_device.h"

// The line's waits, in seconds: a download's settle wait before its flush,
// and the wait from each send to its check; and how often a command is sent
// before it counts as failed.
constexpr double kSettleWait = 0.12;
constexpr double kCheckWait = 0.1;
constexpr int kTries = 5;
// After a group the line's account cannot yet vouch for (a check found no
// reply, a refusal, two replies in one read), the line is read this long
// more, nothing sent: one command's whole retry window.
constexpr double kLookWait = kTries * kCheckWait;

struct ExpectedDownload {
  std::vector<std::string> commands; // the payloads, in order
  std::string frames;                // their frames, back to back
  double floor;                      // seconds: every command accepted at its first try
};

// The signal mode, the angle and the width, then the fixed rate's commands
// or the sweep's.
inline ExpectedDownload Expected(const SettingsRecord &s) {
  const auto n = [](int v) { return std::to_string(v); };
  ExpectedDownload d;
  d.commands = {s.signalMode ? "F3," : "F4,", "T" + n(s.angle) + ",", "W" + n(s.width) + ","};
  if (s.workMode)
    d.commands.insert(d.commands.end(), {"F1,", "R" + n(s.rate) + ","});
  else
    d.commands.insert(d.commands.end(),
                      {"D" + n(s.sweepMin) + "," + n(s.sweepMax) + "," + n(s.sweepStep) + ",",
                       "P" + n(s.repeat) + ",", "F2,"});
  for (const std::string &c : d.commands)
    d.frames += Frame(c);
  d.floor = kSettleWait + kCheckWait * static_cast<double>(d.commands.size());
  return d;
}
