#include "panel/params.h"

#include "app/state/controls.h"
#include "app/state/settings.h"
#include "preview/plot.h"
#include "runtime/core/runtime.h"

namespace {

// The panel may now hold values the device has not been sent.
void MarkPending() {
  SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_PENDING);
}

// Copies a control's value into its field and marks the panel pending.
void Take(int control, int &field) {
  GetCtrlVal(panelHandle, control, &field);
  MarkPending();
}

} // namespace

void EnableSweepPanelControls(int state) {
  SetCtrlAttribute(panelHandle, CTL_SWEEPMIN, ATTR_DIMMED, state);
  SetCtrlAttribute(panelHandle, CTL_SWEEPMAX, ATTR_DIMMED, state);
  SetCtrlAttribute(panelHandle, CTL_SWEEPSTEP, ATTR_DIMMED, state);
  SetCtrlAttribute(panelHandle, CTL_REPEAT, ATTR_DIMMED, state);
}

void EnableRatePanelControls(int state) {
  SetCtrlAttribute(panelHandle, CTL_RATE, ATTR_DIMMED, state);
}

int WorkMode(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  GetCtrlVal(panelHandle, CTL_WORKMODE, &Settings.workMode);
  if (Settings.workMode) {
    EnableRatePanelControls(0);
    EnableSweepPanelControls(1);
  } else {
    EnableRatePanelControls(1);
    EnableSweepPanelControls(0);
  }
  MarkPending();
  return 0;
}

int Rate(int, int, int event, void *, int, int) {
  if (event != EVENT_VAL_CHANGED)
    return 0;
  Take(CTL_RATE, Settings.rate);
  plotwave();
  return 0;
}

int SweepMin(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Take(CTL_SWEEPMIN, Settings.sweepMin);
  SetCtrlAttribute(panelHandle, CTL_RATE_METER, ATTR_MIN_VALUE, Settings.sweepMin);
  return 0;
}

int SweepMax(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Take(CTL_SWEEPMAX, Settings.sweepMax);
  SetCtrlAttribute(panelHandle, CTL_RATE_METER, ATTR_MAX_VALUE, Settings.sweepMax);
  return 0;
}

int SweepStep(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Take(CTL_SWEEPSTEP, Settings.sweepStep);
  return 0;
}

int Repeat(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Take(CTL_REPEAT, Settings.repeat);
  return 0;
}

int SingalMode(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  MarkPending();
  GetCtrlVal(panelHandle, CTL_SIGNALMODE, &Settings.signalMode);
  plotwave();
  return 0;
}

int Tqj(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Take(CTL_ANGLE, Settings.angle);
  plotwave();
  return 0;
}

int Tig_Width(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Take(CTL_WIDTH, Settings.width);
  plotwave();
  return 0;
}
