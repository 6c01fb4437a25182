// The fixed-rate download the whole-process benchmarks time (bench_cli on
// Linux, wine_figures under Wine), and what its bytes take on the line, which
// a pseudo-terminal does not spend. Linux.
#pragma once

#include <cstddef>

#include "app/state/settings.h"
#include "tests/expected_download.h"

inline SettingsRecord BenchFixedSettings() {
  SettingsRecord s{};
  s.workMode = s.signalMode = 1;
  s.rate = 1500, s.angle = 30, s.width = 100;
  return s;
}

// Seconds for `bytes` at 38400 baud, 10 bits a byte.
inline double LineSeconds(std::size_t bytes) {
  return static_cast<double>(bytes) * 10 / 38400.0;
}

// The line time of `d` with every command acknowledged at its first try.
inline double AcknowledgedLineSeconds(const ExpectedDownload &d) {
  return LineSeconds(d.frames.size() + d.commands.size() * Frame("E1").size());
}
