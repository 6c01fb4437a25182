// Giving rows to a log view control.
#include "runtime/core/log_view_ops.h"

#include "runtime/controls/log_view.h"
#include "runtime/core/panel_ops.h"
#include "runtime/panel/panel_registry.h"

int PutLogRow(int panel, int control, const LogRow &row) {
  int error = 0;
  const rt::ControlEntry *c = rt::FindControl(panel, control, &error);
  if (!c)
    return error;
  auto *view = qobject_cast<LogView *>(c->widget.data());
  if (!view)
    return UIE_BAD_ATTRIBUTE;
  view->put(row);
  return 0;
}
