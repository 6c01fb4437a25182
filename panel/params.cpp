#include "panel/params.h"

#include "app/state/controls.h"
#include "app/state/parameters.h"
#include "app/state/settings.h"
#include "preview/plot.h"
#include "runtime/core/runtime.h"

namespace {

// The panel may now hold values the device has not been sent.
void MarkPending() {
  SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_PENDING);
}

} // namespace

void DimByWorkMode() {
  const int sent = Settings.workMode ? SENT_IN_FIXED_RATE : SENT_IN_SWEEP;
  for (const ParameterRow &p : kParameterTable)
    if (p.sentIn != SENT_IN_BOTH)
      SetCtrlAttribute(panelHandle, p.control, ATTR_DIMMED, (p.sentIn & sent) == 0);
}

int ParameterCallback(int, int control, int event, void *, int, int) {
  const ParameterRow *p = ParameterOfControl(control);
  if (!p || event != (p->traits & ON_VALUE_CHANGED ? EVENT_VAL_CHANGED : EVENT_COMMIT))
    return 0;
  if (p->traits & PENDING_BEFORE_READ)
    MarkPending();
  GetCtrlVal(panelHandle, p->control, &(Settings.*p->field));
  if (p->traits & SELECTS_WORK_MODE)
    DimByWorkMode();
  if (!(p->traits & PENDING_BEFORE_READ))
    MarkPending();
  if (p->traits & SETS_METER_MINIMUM)
    SetCtrlAttribute(panelHandle, CTL_RATE_METER, ATTR_MIN_VALUE, Settings.*p->field);
  if (p->traits & SETS_METER_MAXIMUM)
    SetCtrlAttribute(panelHandle, CTL_RATE_METER, ATTR_MAX_VALUE, Settings.*p->field);
  if (p->traits & REPLOTS)
    plotwave();
  return 0;
}
