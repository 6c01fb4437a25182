#include "app/lifecycle.h"

#include "app/control_table.h"
#include "app/process_state.h"
#include "app/state/controls.h"
#include "app/state/parameters.h"
#include "app/state/settings.h"
#include "preview/plot.h"
#include "runtime/core/runtime.h"

int NuvaroMain(int, char **argv) {
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return -1;
  ResetProcessState();
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
  // the panel file stores them. The table's order: the signal mode first.
  for (const ParameterRow &p : kParameterTable)
    GetCtrlVal(panelHandle, p.control, &(Settings.*p.field));
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
