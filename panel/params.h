// Parameter callbacks: each stores its control's value in Settings, marks the
// panel as holding unsent values and refreshes what depends on the value, as
// its row of the parameter table (app/state/parameters.h) says.
#pragma once

// Every parameter callback the panel file names, one per row of the table;
// the control table binds each name to its function, and the build stops
// while a row's callback is missing here.
#define NUVARO_PARAMETER_CALLBACKS(X)                                                              \
  X(SingalMode)                                                                                    \
  X(Rate)                                                                                          \
  X(Tqj)                                                                                           \
  X(Tig_Width)                                                                                     \
  X(WorkMode)                                                                                      \
  X(SweepMin)                                                                                      \
  X(SweepMax)                                                                                      \
  X(SweepStep)                                                                                     \
  X(Repeat)

#define NUVARO_PARAMETER_CALLBACK(name)                                                            \
  int name(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
NUVARO_PARAMETER_CALLBACKS(NUVARO_PARAMETER_CALLBACK)
#undef NUVARO_PARAMETER_CALLBACK

// What the callback named `callback` does with `event`: its parameter's row
// says. Returns 0, as a callback does.
int TakeParameter(const char *callback, int event);

// Dims the controls the chosen work mode does not send, and undims the rest.
void DimByWorkMode();
