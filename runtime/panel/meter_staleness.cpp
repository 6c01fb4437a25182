// Keeps the meters honest about how old their reading is. The runtime tells
// each meter of a panel when one of the panel's timer ticks has been handled
// (ticks dropped while timer callbacks are suspended never get here), and
// marks every meter stale when a port is lost. Readings arrive through
// SetCtrlVal. The application itself knows nothing of this.
#include "runtime/controls/meter.h"
#include "runtime/core/serial_ops.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

template <typename Act> void ForEachMeter(PanelEntry &panel, Act act) {
  for (auto &[id, entry] : panel.controls)
    if (entry.kind == ControlKind::Meter && entry.widget)
      act(*static_cast<Meter *>(entry.widget.data()));
}

} // namespace

void NoteTimerTickOnMeters(int handle) {
  PanelEntry *panel = FindPanel(handle);
  if (!panel)
    return; // the callback discarded its panel
  ForEachMeter(*panel, [](Meter &meter) { meter.noteTimerTick(); });
}

void MarkMetersStaleWhenPortsAreLost() {
  static const bool installed = [] {
    OnPortLost([](int) {
      for (PanelEntry *panel : AllPanels())
        ForEachMeter(*panel, [](Meter &meter) { meter.markStale(); });
    });
    return true;
  }();
  (void)installed;
}

} // namespace rt
