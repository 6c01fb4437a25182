#include "app/control_table.h"

#include "app/lifecycle.h"
#include "app/link_view.h"
#include "app/state/controls.h"
#include "link/demo_device.h"
#include "link/download.h"
#include "link/monitor.h"
#include "link/port.h"
#include "panel/params.h"

#include <array>

#include "app/state/parameters.h"

namespace {

// A new control: add it to the panel file, give its ID a name in
// app/state/controls.h and a row here. A new parameter's control is its row
// of the parameter table instead (app/state/parameters.h).
constexpr rt::ControlRow kOtherControls[] = {
    {CTL_PORT, "CTL_PORT", "SelectPort", SelectPort, EVENT_VAL_CHANGED},
    {CTL_PORT_LED, "CTL_PORT_LED", "PortLed", PortLed, EVENT_LEFT_CLICK},
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

constexpr auto ControlRows() {
  std::array<rt::ControlRow, std::size(kOtherControls) + kParameterCount> rows{};
  std::size_t i = 0;
  for (const ParameterRow &p : kParameterTable)
    rows[i++] = {p.control, p.objectName, p.callback, ParameterCallback,
                 p.traits & ON_VALUE_CHANGED ? EVENT_VAL_CHANGED : EVENT_COMMIT};
  for (const rt::ControlRow &row : kOtherControls)
    rows[i++] = row;
  return rows;
}
constexpr auto kControlRows = ControlRows();

} // namespace

const rt::ControlRow *const controlTable = kControlRows.data();
const int controlCount = static_cast<int>(kControlRows.size());

void RegisterAppControls() {
  rt::RegisterControls(controlTable, controlCount);
  // A device model in this process, so that the whole panel works with no
  // hardware attached.
  RegisterDemoDevice();
  StartLinkView();
}
