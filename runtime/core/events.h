// Event codes, attribute numbers and plot constants shared by the panel
// operations and the application's callbacks.
#pragma once

constexpr int EVENT_COMMIT = 1;
constexpr int EVENT_VAL_CHANGED = 2;
constexpr int EVENT_LEFT_CLICK = 3;
constexpr int EVENT_TIMER_TICK = 15;

constexpr int ATTR_DIMMED = 500;
constexpr int ATTR_VISIBLE = 530;
constexpr int ATTR_MAX_VALUE = 730;
constexpr int ATTR_MIN_VALUE = 731;
constexpr int ATTR_CMD_BUTTON_COLOR = 880;
constexpr int ATTR_XAXIS_GAIN = 1124;

constexpr int VAL_DOUBLE = 4; // the one sample type PlotY takes
constexpr int VAL_RED = 0xFF0000;

// Plot, point and line styles. A graph draws every plot as a thin solid line
// through every sample: PlotY accepts these (and any other style value) and
// ignores them. They are here so that a call names the style it means.
constexpr int VAL_THIN_LINE = 0;    // plot style
constexpr int VAL_EMPTY_SQUARE = 0; // point style (no points are drawn)
constexpr int VAL_SOLID = 0;        // line style

constexpr int VAL_ALL_OBJECTS = -1;
constexpr int VAL_IMMEDIATE_DRAW = 1;

// Negative results of the panel operations.
constexpr int UIE_NO_PANEL = -1;        // unknown panel handle
constexpr int UIE_NO_CONTROL = -2;      // no control with that ID on the panel
constexpr int UIE_BAD_ATTRIBUTE = -3;   // attribute not valid for that control
constexpr int UIE_BAD_VALUE = -4;       // value not acceptable (e.g. non-finite gain)
constexpr int UIE_FILE = -5;            // panel file missing, unreadable or malformed
constexpr int UIE_NOT_INITIALISED = -6; // InitCVIRTE was not called

// A control callback: (panel, control, event, callback data, event data 1, event data 2).
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void *callbackData,
                                int eventData1, int eventData2);
