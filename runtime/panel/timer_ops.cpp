// Timer controls: they tick while their panel is shown. While timer callbacks
// are suspended (a download, and the failure popup after it) they run on but
// their ticks are held: no callback runs, none is delivered later, and the
// meters count each held tick as one without a reading, so that a popup up
// for as long as makes a reading stale elsewhere greys the meter under it.
// A download itself runs no event loop, so only the popup gets held ticks.
// Resumed, the timers start their interval anew. Which controls tick, and
// what a held tick does, is their kinds' business (kinds/timer_kind.cpp).
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_access.h"
#include "runtime/panel/panel_registry.h"

namespace {
bool suspended = false;
} // namespace

namespace rt {

void StartPanelTimers(PanelEntry &panel) {
  for (auto &[id, entry] : panel.controls)
    if (entry.widget)
      entry.kind->startTicking(entry.widget);
}

void StopPanelTimers(PanelEntry &panel) {
  for (auto &[id, entry] : panel.controls)
    if (entry.widget)
      entry.kind->stopTicking(entry.widget);
}

bool TimerCallbacksSuspended() {
  return suspended;
}

} // namespace rt

int SuspendTimerCallbacks() {
  suspended = true;
  return 0;
}

int ResumeTimerCallbacks() {
  if (!suspended)
    return 0;
  suspended = false;
  for (rt::PanelEntry *panel : rt::AllPanels()) {
    if (!panel->displayed)
      continue;
    rt::StopPanelTimers(*panel); // a tick overdue from the download is not delivered
    rt::StartPanelTimers(*panel);
  }
  return 0;
}
