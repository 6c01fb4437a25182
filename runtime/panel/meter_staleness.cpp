// Keeps the meters honest about how old their reading is. The runtime tells
// each control of a panel when one of the panel's timer ticks has been
// handled or held (while timer callbacks are suspended: the failure popup's
// wall time ages the reading as the ticks it holds would have), and every
// control when a port is lost; a meter's kind (kinds/meter_kind.cpp)
// counts the ticks and goes stale. Readings arrive through SetCtrlVal. The
// application itself knows nothing of this.
#include "runtime/core/serial_ops.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

void NoteTimerTickOnMeters(int handle) {
  PanelEntry *panel = FindPanel(handle);
  if (!panel)
    return; // the callback discarded its panel
  for (auto &[id, entry] : panel->controls)
    if (entry.widget)
      entry.kind->timerTickHandled(entry.widget);
}

void MarkMetersStaleWhenPortsAreLost() {
  static const bool installed = [] {
    OnPortLost([](int) {
      for (PanelEntry *panel : AllPanels())
        for (auto &[id, entry] : panel->controls)
          if (entry.widget)
            entry.kind->portLost(entry.widget);
    });
    return true;
  }();
  (void)installed;
}

} // namespace rt
