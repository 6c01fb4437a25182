// The loaded panels and their controls, as the panel operations see them.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/events.h"
#include "runtime/panel/control_kind.h"

namespace rt {

struct ControlEntry {
  int id = 0;
  const ControlKind *kind = nullptr; // never null once collected
  QPointer<QWidget> widget;
  std::string callbackName;
  CtrlCallbackPtr callback = nullptr; // looked up when the panel was loaded
  QList<QPointer<QWidget>> labels;    // labels naming the control (dimmed with it)
};

struct PanelEntry {
  int handle = 0;
  QPointer<QWidget> window;
  std::map<int, ControlEntry> controls;
  bool displayed = false;
};

// Takes the panel and gives it a new handle (handles are never reused).
int AddPanel(std::unique_ptr<PanelEntry> panel);
// The panel is forgotten; the caller gets it back to dispose of.
std::unique_ptr<PanelEntry> TakePanel(int handle);
PanelEntry *FindPanel(int handle);
std::vector<PanelEntry *> AllPanels();

// The control, or nullptr with *error set to UIE_NO_PANEL or UIE_NO_CONTROL.
ControlEntry *FindControl(int panel, int control, int *error);

// Calls the control's callback with (panel, control, event, nullptr, 0, 0).
// Returns the callback's result, 0 when it has none, or a UIE_ code. Nothing
// is called for a press (ControlKind::isPress) that PressRefused refuses, nor
// for a timer tick while busy input is drained.
int DispatchEvent(int panel, int control, int event);

// Typing that assistive technology did in `control` (a part of a number
// box's text edited) is held, as typed text is, until confirmed: at the
// latest, DispatchEvent confirms or reverts it (the kind's commitPendingEdit)
// before it calls the callback of any other control, timer ticks aside, so
// that no callback, a download's least of all, acts while a control shows a
// value the program did not take.
void HoldEdit(QWidget *control);

// Whether a press on `control` is refused now: while a callback runs, while
// busy input is drained, and while a modal popup other than the control's
// own window is up.
bool PressRefused(const QWidget *control);

// The control whose widget is `widget`, on any panel; nullptr when none is.
ControlEntry *FindControlOf(const QWidget *widget);

// Meters and the age of their reading (meter_staleness.cpp): a timer tick of
// the panel was handled or held; every meter goes stale when a port is lost.
void NoteTimerTickOnMeters(int panel);
void MarkMetersStaleWhenPortsAreLost();

} // namespace rt

namespace rt {

// Timer controls of a panel (they tick only while the panel is shown; while
// timer callbacks are suspended their ticks are held, timer_ops.cpp).
void StartPanelTimers(PanelEntry &panel);
void StopPanelTimers(PanelEntry &panel);

} // namespace rt
