// A timer (TimerControl): invisible; each tick is a timer-tick event while
// its panel is shown and timer callbacks are not suspended. A tick due while
// they are suspended is held: no event, but the panel's meters count it as a
// tick without a reading (timer_ops.cpp). A tick due while busy input is
// drained is dropped.
#include <QObject>

#include "runtime/controls/timer_control.h"
#include "runtime/panel/panel_access.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class Timer final : public NoText<NoOwnAttributes<NoValue<KindFor<TimerControl>>>> {
public:
  QWidget *create(QWidget *parent) const override { return new TimerControl(parent); }

  bool sends(int event) const override { return event == EVENT_TIMER_TICK; }
  void bind(ControlEntry &control, PanelEntry &panel, RaiseEvent raise) const override {
    TimerControl &timer = Of(control.widget);
    QObject::connect(&timer, &TimerControl::ticked, &timer, [raise, handle = panel.handle] {
      if (TimerCallbacksSuspended())
        NoteTimerTickOnMeters(handle);
      else
        raise(EVENT_TIMER_TICK);
    });
  }
  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }

  void startTicking(QWidget *widget) const override { Of(widget).start(); }
  void stopTicking(QWidget *widget) const override { Of(widget).stop(); }
};

} // namespace

const ControlKind &TimerKind() {
  static const Timer kind;
  return kind;
}

} // namespace rt
