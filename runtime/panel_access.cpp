#include "runtime/panel_access.h"

#include "runtime/panel_registry.h"

namespace rt {

QWidget *PanelWidget(int panel) {
  PanelEntry *p = FindPanel(panel);
  return p ? p->window.data() : nullptr;
}

QWidget *ControlWidget(int panel, int control) {
  int error = 0;
  const ControlEntry *c = FindControl(panel, control, &error);
  return c ? c->widget.data() : nullptr;
}

std::string ControlCallbackName(int panel, int control) {
  int error = 0;
  const ControlEntry *c = FindControl(panel, control, &error);
  return c ? c->callbackName : std::string();
}

int DispatchControlEvent(int panel, int control, int event) {
  return DispatchEvent(panel, control, event);
}

} // namespace rt
