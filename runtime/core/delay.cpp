#include "runtime/core/delay.h"

#include "runtime/core/clock.h"

namespace rt {
namespace {
BusyHook busyHook = nullptr;
}
void SetBusyHook(BusyHook hook) {
  busyHook = hook;
}
} // namespace rt

int Delay(double seconds) {
  if (rt::busyHook)
    rt::busyHook();
  rt::CurrentClock().Sleep(seconds);
  return 0;
}
