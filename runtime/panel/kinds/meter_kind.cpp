// A dial meter (Meter): shows the readings the program sets, on a scale whose
// ends the program sets; every value set is a reading. It goes stale after
// timer ticks without a reading and when a port is lost (meter.h). It sends
// nothing.
#include <QAccessibleWidget>

#include "runtime/controls/meter.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

// A read-only dial with a value interface (current, minimum and maximum
// value; setting a value does nothing: the meter shows what the device
// reports), the value with its unit as the value text, and a note after its
// description while the reading is stale.
class AccessibleMeter : public QAccessibleWidget, public QAccessibleValueInterface {
public:
  explicit AccessibleMeter(Meter *meter) : QAccessibleWidget(meter, QAccessible::Dial) {}

  void *interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface)
      return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value)
      return meter()->valueText();
    if (t == QAccessible::Description)
      return QAccessibleWidget::text(t) + meter()->staleNote();
    return QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override { return meter()->value(); }
  void setCurrentValue(const QVariant &) override {}
  // A scale that runs backwards (minimum above maximum) still spans the
  // values between its two ends.
  QVariant minimumValue() const override { return qMin(meter()->minimum(), meter()->maximum()); }
  QVariant maximumValue() const override { return qMax(meter()->minimum(), meter()->maximum()); }
  QVariant minimumStepSize() const override { return 0; }

private:
  Meter *meter() const { return static_cast<Meter *>(widget()); }
};

class Dial final : public NoText<SendsNothing<KindFor<Meter>>> {
public:
  QWidget *create(QWidget *parent) const override { return new Meter(parent); }

  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new AccessibleMeter(&Of(widget));
  }
  bool isPress() const override { return false; }

  int value(const QWidget *widget, int *value) const override {
    *value = Of(widget).value();
    return 0;
  }
  int setValue(QWidget *widget, int value) const override {
    Meter &meter = Of(widget);
    meter.setValue(value); // shown as it comes, never clamped
    meter.noteReading();
    return 0;
  }
  bool takes(int attribute) const override {
    return attribute == ATTR_MAX_VALUE || attribute == ATTR_MIN_VALUE;
  }
  int setAttribute(QWidget *widget, int attribute, double value) const override {
    Meter &meter = Of(widget);
    const int end = static_cast<int>(value);
    attribute == ATTR_MAX_VALUE ? meter.setMaximum(end) : meter.setMinimum(end);
    return 0;
  }

  void timerTickHandled(QWidget *widget) const override { Of(widget).noteTimerTick(); }
  void portLost(QWidget *widget) const override { Of(widget).markStale(); }
};

} // namespace

const ControlKind &MeterKind() {
  static const Dial kind;
  return kind;
}

} // namespace rt
