// Timer controls: they tick while their panel is shown, except while timer
// callbacks are suspended. Ticks that fall due while suspended are dropped,
// not delivered later. Which controls tick is their kinds' business
// (kinds/timer_kind.cpp).
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
  for (rt::PanelEntry *panel : rt::AllPanels())
    rt::StopPanelTimers(*panel);
  return 0;
}

int ResumeTimerCallbacks() {
  suspended = false;
  for (rt::PanelEntry *panel : rt::AllPanels())
    if (panel->displayed)
      rt::StartPanelTimers(*panel);
  return 0;
}
