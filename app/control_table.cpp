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
#include <string_view>

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

// The parameter callbacks by the names the table gives them.
struct Binding {
  const char *name;
  CtrlCallbackPtr function;
};
#define NUVARO_BIND(name) {#name, name},
constexpr Binding kParameterCallbacks[] = {NUVARO_PARAMETER_CALLBACKS(NUVARO_BIND)};
#undef NUVARO_BIND

// Whether a callback of that name is bound. Names are compared, not
// addresses with null: under -fsanitize=null (the sanitizer build) an
// address compared with null is no constant expression.
constexpr bool IsBound(std::string_view name) {
  for (const Binding &b : kParameterCallbacks)
    if (name == b.name)
      return true;
  return false;
}

constexpr CtrlCallbackPtr Bound(std::string_view name) {
  for (const Binding &b : kParameterCallbacks)
    if (name == b.name)
      return b.function;
  return nullptr;
}

constexpr bool EveryCallbackIsBoundToARow() {
  for (const ParameterRow &p : kParameterTable)
    if (!IsBound(p.callback))
      return false;
  for (const Binding &b : kParameterCallbacks) {
    bool hasRow = false;
    for (const ParameterRow &p : kParameterTable)
      hasRow = hasRow || b.name == std::string_view(p.callback);
    if (!hasRow)
      return false;
  }
  return true;
}
static_assert(EveryCallbackIsBoundToARow(),
              "each row of kParameterTable needs its callback in NUVARO_PARAMETER_CALLBACKS "
              "(panel/params.h), and each callback there a row");

constexpr auto ControlRows() {
  std::array<rt::ControlRow, std::size(kOtherControls) + kParameterCount> rows{};
  std::size_t i = 0;
  for (const ParameterRow &p : kParameterTable)
    rows[i++] = {p.control, p.objectName, p.callback, Bound(p.callback),
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
