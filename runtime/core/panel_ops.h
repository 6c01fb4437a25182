// Panel, control, graph, timer and popup operations. All are called from the
// user-interface thread only.
#pragma once

#include "runtime/core/events.h"

// Starts the run-time (creates the Qt application object). 0 means failure.
int InitCVIRTE(void *hInstance, char **argv, void *reserved);

// Loads panel `panelId` (1) of the panel file `fileName`. A bare name is looked up
// beside the executable. Returns a handle > 0, or a negative UIE_ code.
int LoadPanel(int parentPanel, const char *fileName, int panelId);
int DisplayPanel(int panel);
int DiscardPanel(int panel);

// Runs the event loop until QuitUserInterface; returns the code given to it.
int RunUserInterface();
int QuitUserInterface(int returnCode);

// Control values are 32-bit signed integers.
int GetCtrlVal(int panel, int control, int *value);
int SetCtrlVal(int panel, int control, int value);

int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);

int ResetTextBox(int panel, int control, const char *text);

int DeleteGraphPlot(int panel, int graph, int plotHandle, int refresh);
// Plots `count` samples against their indices (x shown = index * x-axis gain)
// as a thin solid line of `color` (0xRRGGBB). Only VAL_DOUBLE samples are
// taken; the plot, point and line styles and the point frequency are accepted
// and ignored. Returns a plot handle > 0 or a negative UIE_ code.
int PlotY(int panel, int graph, const void *samples, int count, int dataType, int plotStyle,
          int pointStyle, int lineStyle, int pointFrequency, int color);

// Modal box with an OK button; returns once dismissed.
int MessagePopup(const char *title, const char *message);

int SuspendTimerCallbacks();
int ResumeTimerCallbacks();
