// Control IDs of the main panel (they match the ctrlId of each control in
// "nuvaro.uir") and the send button's two colours.
#pragma once

constexpr int MainPanel = 1; // panel number in the panel file

constexpr int CTL_PORT = 2;
constexpr int CTL_WORKMODE = 3;
constexpr int CTL_RATE = 4;
constexpr int CTL_SWEEPMIN = 5;
constexpr int CTL_SWEEPMAX = 6;
constexpr int CTL_SWEEPSTEP = 7;
constexpr int CTL_SIGNALMODE = 8;
constexpr int CTL_NOTES = 10;
constexpr int CTL_QUIT = 11;
constexpr int CTL_CLEAN = 12;
constexpr int CTL_SEND = 13;
constexpr int CTL_TIMER = 14;
constexpr int CTL_ANGLE = 15;
constexpr int CTL_WIDTH = 16;
constexpr int CTL_RATE_METER = 17;
constexpr int CTL_LOGIC_GRAPH = 18;
constexpr int CTL_PORT_LED = 19;
constexpr int CTL_COMM_LED = 20;
constexpr int CTL_PULSE_GRAPH = 21;
constexpr int CTL_REPEAT = 23;
constexpr int CTL_LINK_BUTTON = 24; // opens and closes the link view
constexpr int CTL_LINK_VIEW = 25;   // every frame on the line, decoded
constexpr int CTL_RATE_TREND = 26;  // the meter's readings over the last minute
constexpr int CTL_DEMO_NOTICE = 27; // shown while the demo device is the chosen port

// The send button shows whether the panel holds values the device has not
// acknowledged yet.
constexpr int COLOR_PENDING = 0x00D000; // green: edited since the last good download
constexpr int COLOR_SENT = 0xC0C0C0;    // light grey: everything acknowledged
