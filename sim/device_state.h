// What the device keeps from the commands it accepted, and the rate it runs at.
//
// Rate: before an operation is selected the device runs at its start rate. In
// fixed operation ("F1,") it runs at the last "R<rate>," value. "F2," starts a
// sweep at the sweep minimum; every rate poll reports the current rate and
// then moves one step: up by the step, the last step of a pass landing exactly
// on the maximum. A pass that has reached the maximum starts again at the
// minimum until `repeat` passes are done (a repeat below 1 counts as 1); then
// the rate holds at the maximum. A step of 0 or less never moves the rate, and
// a minimum at or above the maximum makes every pass the minimum alone.
#pragma once

#include <optional>

#include "sim/command.h"

namespace sim {

enum class Operation { None, Fixed, Sweep };

struct DeviceState {
  explicit DeviceState(int startRate = 0) : startRate(startRate), fixedRate(startRate) {}

  int startRate;
  std::optional<int> signalMode; // 1 after "F3,", 0 after "F4,"
  std::optional<int> angle;
  std::optional<int> width;
  Operation operation = Operation::None;
  int fixedRate;
  int sweepMin = 0;
  int sweepMax = 0;
  int sweepStep = 0;
  int repeat = 0;

  // Sweep progress: the rate now and the pass it belongs to (1-based).
  int sweepRate = 0;
  int sweepPass = 0;

  // Takes the settings a command carries. The link test and the rate poll
  // change nothing here.
  void Apply(const Command &command);
  int CurrentRate() const;
  // One sweep step (a rate poll was answered). Does nothing outside a sweep.
  void Step();
};

} // namespace sim
