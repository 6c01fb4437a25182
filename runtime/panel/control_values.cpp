// Reading and setting control values (32-bit integers) and text boxes: what
// each means is the control's kind's (control_kind.h).
#include <QString>

#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

int GetCtrlVal(int panel, int control, int *value) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  if (!value)
    return UIE_BAD_VALUE;
  return c->kind->value(c->widget, value);
}

int SetCtrlVal(int panel, int control, int value) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  return c->kind->setValue(c->widget, value);
}

int ResetTextBox(int panel, int control, const char *text) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  return c->kind->resetText(c->widget, QString::fromUtf8(text ? text : ""));
}
