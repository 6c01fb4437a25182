// Parameter callbacks: store the control's value in Settings, mark the panel
// as holding unsent values and refresh what depends on the value.
#pragma once

#define NUVARO_CALLBACK(name)                                                                      \
  int name(int panel, int control, int event, void *callbackData, int eventData1, int eventData2)

NUVARO_CALLBACK(WorkMode);
NUVARO_CALLBACK(Rate);
NUVARO_CALLBACK(SweepMin);
NUVARO_CALLBACK(SweepMax);
NUVARO_CALLBACK(SweepStep);
NUVARO_CALLBACK(Repeat);
NUVARO_CALLBACK(SingalMode);
NUVARO_CALLBACK(Tqj);
NUVARO_CALLBACK(Tig_Width);

#undef NUVARO_CALLBACK

void EnableSweepPanelControls(int state);
void EnableRatePanelControls(int state);
