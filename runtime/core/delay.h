#pragma once

// Blocks for `seconds` on the runtime clock. It dispatches no user-interface
// events: no callback runs while it waits.
int Delay(double seconds);

namespace rt {
// Called by Delay so that the panel layer can show that the program is busy.
// The panel layer installs it; nothing happens when none is installed.
using BusyHook = void (*)();
void SetBusyHook(BusyHook hook);
} // namespace rt
