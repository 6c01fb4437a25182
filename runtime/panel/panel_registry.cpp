#include "runtime/panel/panel_registry.h"

#include <QApplication>

#include <utility>

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

QPointer<QWidget> &HeldEdit() {
  static QPointer<QWidget> held;
  return held;
}

// The typing held in a control other than `control` is confirmed or reverted;
// the events that raises come first.
void ConfirmEditHeldOutside(const QWidget *control) {
  QPointer<QWidget> &held = HeldEdit();
  if (!held || held == control)
    return;
  QWidget *const widget = std::exchange(held, nullptr);
  if (const ControlEntry *entry = FindControlOf(widget))
    entry->kind->commitPendingEdit(widget);
}

} // namespace

// A press while a callback runs or a modal popup is up can only come from
// assistive technology: the popup blocks the mouse and the keyboard, and
// Delay runs no event loop. It is refused as they are, not kept for later: a
// second download would run inside the first one's popup, and the LED's
// action would hold its client until the popup closes. One delivered while
// busy input is drained was made during the busy spell: refused too.
void HoldEdit(QWidget *control) {
  HeldEdit() = control;
}

bool PressRefused(const QWidget *control) {
  if (busy::InDispatch() || busy::Draining())
    return true;
  const QWidget *modal = QApplication::activeModalWidget();
  return modal && control && modal != control->window();
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

ControlEntry *FindControlOf(const QWidget *widget) {
  for (auto &[handle, panel] : TheRegistry().panels)
    for (auto &[id, entry] : panel->controls)
      if (widget && entry.widget == widget)
        return &entry;
  return nullptr;
}

int DispatchEvent(int panel, int control, int event) {
  int error = 0;
  const ControlEntry *entry = FindControl(panel, control, &error);
  if (!entry)
    return error;
  // Copied out: the callback may discard the panel and with it the entry.
  const CtrlCallbackPtr callback = entry->callback;
  // A value that reaches a control is taken whenever it comes, even while
  // busy input is drained (only assistive technology gets one there): a
  // control never shows a value the program did not take.
  const bool refused = entry->kind->isPress() ? PressRefused(entry->widget)
                                              : event == EVENT_TIMER_TICK && busy::Draining();
  if (!callback || refused)
    return 0;
  if (event != EVENT_TIMER_TICK) {
    ConfirmEditHeldOutside(entry->widget);
    entry = FindControl(panel, control, &error); // a callback may have discarded the panel
    if (!entry)
      return error;
  }
  busy::DispatchScope scope(entry->widget);
  const int result = callback(panel, control, event, nullptr, 0, 0);
  if (event == EVENT_TIMER_TICK)
    NoteTimerTickOnMeters(panel);
  return result;
}

} // namespace rt
