// A lamp (Led): on or off as the program sets it; a left click, Space or
// Enter on it, or assistive technology's press action, is a left-click
// event, refused as a press is while the program is busy or a popup is up.
#include <QAccessibleWidget>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "runtime/controls/led.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

// A checkable indicator, checked while lit, its state in words as its
// description (the widget's), and a press action that clicks it. Its state
// is the program's to set: the indicator takes no value from outside.
class AccessibleLed : public QAccessibleWidget {
public:
  explicit AccessibleLed(Led *led) : QAccessibleWidget(led, QAccessible::Indicator) {}

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = led()->isOn();
    return s;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (led()->isEnabled())
      names.prepend(pressAction());
    return names;
  }

  // The press returns at once and clicks from the event loop, as a
  // button's animated press does: the link check's tries, and a failure's
  // popup, never hold the assistive technology that asked. A press refused
  // now is dropped, not made later.
  void doAction(const QString &actionName) override {
    if (actionName != pressAction()) {
      QAccessibleWidget::doAction(actionName);
      return;
    }
    if (PressRefused(led()))
      return;
    QTimer::singleShot(0, led(), [lamp = QPointer<Led>(led())] {
      if (lamp)
        lamp->click();
    });
  }

private:
  Led *led() const { return static_cast<Led *>(widget()); }
};

class Lamp final : public NoText<NoOwnAttributes<KindFor<Led>>> {
public:
  QWidget *create(QWidget *parent) const override { return new Led(parent); }

  bool sends(int event) const override { return event == EVENT_LEFT_CLICK; }
  void bind(ControlEntry &control, PanelEntry &, RaiseEvent raise) const override {
    Led &led = Of(control.widget);
    QObject::connect(&led, &Led::leftClicked, &led, [raise] { raise(EVENT_LEFT_CLICK); });
  }
  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new AccessibleLed(&Of(widget));
  }
  bool isPress() const override { return true; }

  int value(const QWidget *widget, int *value) const override {
    *value = Of(widget).isOn() ? 1 : 0;
    return 0;
  }
  int setValue(QWidget *widget, int value) const override {
    Of(widget).setOn(value != 0);
    return 0;
  }
};

} // namespace

const ControlKind &LedKind() {
  static const Lamp kind;
  return kind;
}

} // namespace rt
