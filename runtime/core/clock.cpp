#include "runtime/core/clock.h"

#include <chrono>
#include <thread>

namespace rt {

double SteadyClock::Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::Sleep(double seconds) {
  // Also rejects NaN.
  if (!(seconds > 0.0))
    return;
  // Longer than any wait the program makes; guards against absurd values.
  constexpr double kLongest = 3600.0;
  if (seconds > kLongest)
    seconds = kLongest;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void VirtualClock::Sleep(double seconds) {
  if (seconds > 0.0)
    now_ += seconds;
}

namespace {
SteadyClock steadyClock;
Clock *current = &steadyClock;
} // namespace

Clock &CurrentClock() {
  return *current;
}

void SetClock(Clock *clock) {
  current = clock ? clock : &steadyClock;
}

ScopedClock::ScopedClock(Clock &clock) : previous_(&CurrentClock()) {
  SetClock(&clock);
}

ScopedClock::~ScopedClock() {
  SetClock(previous_);
}

} // namespace rt
