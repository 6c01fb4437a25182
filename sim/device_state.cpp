#include "sim/device_state.h"

#include <algorithm>
#include <cstdint>

namespace sim {

void DeviceState::Apply(const Command &command) {
  const int value = command.values[0];
  switch (command.kind) {
  case CommandKind::SignalModeOn: signalMode = 1; break;
  case CommandKind::SignalModeOff: signalMode = 0; break;
  case CommandKind::Angle: angle = value; break;
  case CommandKind::Width: width = value; break;
  case CommandKind::FixedOperation: operation = Operation::Fixed; break;
  case CommandKind::Rate: fixedRate = value; break;
  case CommandKind::SweepBounds:
    sweepMin = command.values[0];
    sweepMax = command.values[1];
    sweepStep = command.values[2];
    break;
  case CommandKind::Repeat: repeat = value; break;
  case CommandKind::SweepOperation:
    operation = Operation::Sweep;
    sweepRate = sweepMin;
    sweepPass = 1;
    break;
  case CommandKind::LinkTest:
  case CommandKind::RatePoll: break;
  }
}

int DeviceState::CurrentRate() const {
  switch (operation) {
  case Operation::Fixed: return fixedRate;
  case Operation::Sweep: return sweepRate;
  case Operation::None: break;
  }
  return startRate;
}

void DeviceState::Step() {
  if (operation != Operation::Sweep)
    return;
  if (sweepRate >= sweepMax) {
    if (sweepPass < std::max(repeat, 1)) {
      ++sweepPass;
      sweepRate = sweepMin;
    }
    return;
  }
  if (sweepStep <= 0)
    return;
  const std::int64_t next = std::int64_t{sweepRate} + sweepStep;
  sweepRate = static_cast<int>(std::min<std::int64_t>(next, sweepMax));
}

} // namespace sim
