#include "app/control_table.h"

#include "app/lifecycle.h"
#include "app/link_view.h"
#include "app/state/controls.h"
#include "link/demo_device.h"
#include "link/download.h"
#include "link/monitor.h"
#include "link/port.h"
#include "panel/params.h"

// A new control: add it to the panel file, give its ID a name in
// app/state/controls.h and a row here.
const rt::ControlRow controlTable[] = {
    {CTL_PORT, "CTL_PORT", "SelectPort", SelectPort, EVENT_VAL_CHANGED},
    {CTL_PORT_LED, "CTL_PORT_LED", "PortLed", PortLed, EVENT_LEFT_CLICK},
    {CTL_WORKMODE, "CTL_WORKMODE", "WorkMode", WorkMode, EVENT_COMMIT},
    {CTL_RATE, "CTL_RATE", "Rate", Rate, EVENT_VAL_CHANGED},
    {CTL_SWEEPMIN, "CTL_SWEEPMIN", "SweepMin", SweepMin, EVENT_COMMIT},
    {CTL_SWEEPMAX, "CTL_SWEEPMAX", "SweepMax", SweepMax, EVENT_COMMIT},
    {CTL_SWEEPSTEP, "CTL_SWEEPSTEP", "SweepStep", SweepStep, EVENT_COMMIT},
    {CTL_REPEAT, "CTL_REPEAT", "Repeat", Repeat, EVENT_COMMIT},
    {CTL_ANGLE, "CTL_ANGLE", "Tqj", Tqj, EVENT_COMMIT},
    {CTL_WIDTH, "CTL_WIDTH", "Tig_Width", Tig_Width, EVENT_COMMIT},
    {CTL_SIGNALMODE, "CTL_SIGNALMODE", "SingalMode", SingalMode, EVENT_COMMIT},
    {CTL_COMM_LED, "CTL_COMM_LED", "Comm", Comm, EVENT_LEFT_CLICK},
    {CTL_RATE_METER, "CTL_RATE_METER", "", nullptr, 0},
    {CTL_SEND, "CTL_SEND", "send", send, EVENT_COMMIT},
    {CTL_CLEAN, "CTL_CLEAN", "Clean", Clean, EVENT_COMMIT},
    {CTL_QUIT, "CTL_QUIT", "quit", quit, EVENT_COMMIT},
    {CTL_TIMER, "CTL_TIMER", "MyTimer", MyTimer, EVENT_TIMER_TICK},
    {CTL_PULSE_GRAPH, "CTL_PULSE_GRAPH", "", nullptr, 0},
    {CTL_LOGIC_GRAPH, "CTL_LOGIC_GRAPH", "", nullptr, 0},
    {CTL_NOTES, "CTL_NOTES", "", nullptr, 0},
    {CTL_LINK_BUTTON, "CTL_LINK_BUTTON", "ShowLinkView", ShowLinkView, EVENT_COMMIT},
    {CTL_LINK_VIEW, "CTL_LINK_VIEW", "", nullptr, 0},
    {CTL_RATE_TREND, "CTL_RATE_TREND", "", nullptr, 0},
    {CTL_DEMO_NOTICE, "CTL_DEMO_NOTICE", "", nullptr, 0},
};
const int controlCount = static_cast<int>(sizeof controlTable / sizeof controlTable[0]);

void RegisterAppControls() {
  rt::RegisterControls(controlTable, controlCount);
  // A device model in this process, so that the whole panel works with no
  // hardware attached.
  RegisterDemoDevice();
  StartLinkView();
}
