#include "runtime/panel/panel_access.h"

#include <QPalette>
#include <QWidget>

#include "runtime/core/events.h"
#include "runtime/panel/panel_registry.h"

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

int CommandButtonColor(int panel, int control) {
  int error = 0;
  const ControlEntry *c = FindControl(panel, control, &error);
  if (!c)
    return error;
  if (!c->kind->takes(ATTR_CMD_BUTTON_COLOR))
    return UIE_BAD_ATTRIBUTE;
  // Until the program paints it, the button has the style's own colour.
  const QVariant painted = c->widget->property("cmdButtonColor");
  if (painted.isValid())
    return painted.toInt();
  return int(c->widget->palette().color(QPalette::Button).rgb() & 0xFFFFFFu);
}

} // namespace rt
