#include "app/lifecycle.h"

#include "app/control_table.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "preview/plot.h"
#include "runtime/core/runtime.h"

int NuvaroMain(int, char **argv) {
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return -1;
  RegisterAppControls();
  panelHandle = LoadPanel(0, "nuvaro.uir", MainPanel);
  if (panelHandle < 0)
    return -1;
  DisplayPanel(panelHandle);
  init();
  RunUserInterface();
  DiscardPanel(panelHandle);
  return 0;
}

void init() {
  // The port is not opened here, the dimming and the meter's range stay as
  // the panel file stores them.
  GetCtrlVal(panelHandle, CTL_SIGNALMODE, &Settings.signalMode);
  GetCtrlVal(panelHandle, CTL_RATE, &Settings.rate);
  GetCtrlVal(panelHandle, CTL_ANGLE, &Settings.angle);
  GetCtrlVal(panelHandle, CTL_WIDTH, &Settings.width);
  GetCtrlVal(panelHandle, CTL_WORKMODE, &Settings.workMode);
  GetCtrlVal(panelHandle, CTL_SWEEPMIN, &Settings.sweepMin);
  GetCtrlVal(panelHandle, CTL_SWEEPMAX, &Settings.sweepMax);
  GetCtrlVal(panelHandle, CTL_SWEEPSTEP, &Settings.sweepStep);
  GetCtrlVal(panelHandle, CTL_REPEAT, &Settings.repeat);
  plotwave();
}

int quit(int, int, int event, void *, int, int) {
  if (event == EVENT_COMMIT)
    QuitUserInterface(0);
  return 0;
}

int Clean(int, int, int event, void *, int, int) {
  if (event == EVENT_COMMIT)
    ResetTextBox(panelHandle, CTL_NOTES, "");
  return 0;
}
