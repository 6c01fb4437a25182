// Parameter callbacks: each stores its control's value in Settings, marks the
// panel as holding unsent values and refreshes what depends on the value, as
// its row of the parameter table (app/state/parameters.h) says.
#pragma once

// The callback of every parameter: the panel file names each parameter's
// callback (SingalMode, Rate, Tqj, ...), the control table binds each of those
// names here, and the row of `control` in the parameter table says what it
// does with `event`: it stores the control's value in its Settings field,
// marks the panel as holding unsent values and refreshes what follows the
// value. Returns 0, as a callback does.
int ParameterCallback(int panel, int control, int event, void *callbackData, int eventData1,
                      int eventData2);

// Dims the controls the chosen work mode does not send, and undims the rest.
void DimByWorkMode();
