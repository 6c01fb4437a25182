// Giving rows to a log view control (kinds/log_view_kind.cpp).
#include "runtime/core/log_view_ops.h"

#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

int PutLogRow(int panel, int control, const LogRow &row) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  return c->kind->putRow(c->widget, row);
}
