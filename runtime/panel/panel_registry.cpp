#include "runtime/panel/panel_registry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "runtime/controls/graph.h"
#include "runtime/controls/led.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/numeric_control.h"
#include "runtime/controls/port_selector.h"
#include "runtime/controls/ring_control.h"
#include "runtime/controls/timer_control.h"
#include "runtime/panel/busy.h"

namespace rt {

namespace {

struct Registry {
  std::map<int, std::unique_ptr<PanelEntry>> panels;
  int nextHandle = 1;
};

Registry &TheRegistry() {
  static Registry registry;
  return registry;
}

// A press (a command button's commit, an LED's click) while a callback runs
// or a modal popup is up can only come from assistive technology: the popup
// blocks the mouse and the keyboard, and Delay runs no event loop. It is
// refused as they are, not kept for later: a second download would run
// inside the first one's popup, and the LED's action would hold its client
// until the popup closes. Value changes still reach their callbacks, which
// do not block: refusing them would leave the control showing a value the
// program never took.
bool PressRefused(const ControlEntry &entry) {
  if (entry.kind != ControlKind::CommandButton && entry.kind != ControlKind::Led)
    return false;
  if (busy::InDispatch())
    return true;
  const QWidget *modal = QApplication::activeModalWidget();
  return modal && entry.widget && modal != entry.widget->window();
}

} // namespace

ControlKind KindOf(const QWidget *w) {
  if (qobject_cast<const NumericControl *>(w))
    return ControlKind::Numeric;
  if (qobject_cast<const PortSelector *>(w))
    return ControlKind::PortSelector;
  if (qobject_cast<const RingControl *>(w))
    return ControlKind::Ring;
  if (qobject_cast<const Led *>(w))
    return ControlKind::Led;
  if (qobject_cast<const Meter *>(w))
    return ControlKind::Meter;
  if (qobject_cast<const Graph *>(w))
    return ControlKind::Graph;
  if (qobject_cast<const TimerControl *>(w))
    return ControlKind::Timer;
  if (qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w) ||
      qobject_cast<const QLineEdit *>(w))
    return ControlKind::TextBox;
  if (qobject_cast<const QAbstractButton *>(w))
    return ControlKind::CommandButton;
  return ControlKind::Other;
}

int AddPanel(std::unique_ptr<PanelEntry> panel) {
  Registry &r = TheRegistry();
  const int handle = r.nextHandle++;
  panel->handle = handle;
  r.panels[handle] = std::move(panel);
  MarkMetersStaleWhenPortsAreLost();
  return handle;
}

std::unique_ptr<PanelEntry> TakePanel(int handle) {
  Registry &r = TheRegistry();
  const auto found = r.panels.find(handle);
  if (found == r.panels.end())
    return nullptr;
  std::unique_ptr<PanelEntry> panel = std::move(found->second);
  r.panels.erase(found);
  return panel;
}

PanelEntry *FindPanel(int handle) {
  Registry &r = TheRegistry();
  const auto found = r.panels.find(handle);
  return found == r.panels.end() ? nullptr : found->second.get();
}

std::vector<PanelEntry *> AllPanels() {
  std::vector<PanelEntry *> all;
  for (auto &[handle, panel] : TheRegistry().panels)
    all.push_back(panel.get());
  return all;
}

ControlEntry *FindControl(int panel, int control, int *error) {
  PanelEntry *p = FindPanel(panel);
  if (!p || !p->window) {
    *error = UIE_NO_PANEL;
    return nullptr;
  }
  const auto found = p->controls.find(control);
  if (found == p->controls.end() || !found->second.widget) {
    *error = UIE_NO_CONTROL;
    return nullptr;
  }
  *error = 0;
  return &found->second;
}

int DispatchEvent(int panel, int control, int event) {
  int error = 0;
  const ControlEntry *entry = FindControl(panel, control, &error);
  if (!entry)
    return error;
  // Copied out: the callback may discard the panel and with it the entry.
  const CtrlCallbackPtr callback = entry->callback;
  if (!callback || busy::Draining() || PressRefused(*entry))
    return 0;
  busy::DispatchScope scope(entry->widget);
  const int result = callback(panel, control, event, nullptr, 0, 0);
  if (event == EVENT_TIMER_TICK)
    NoteTimerTickOnMeters(panel);
  return result;
}

} // namespace rt
