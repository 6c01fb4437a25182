#include "runtime/controls/accessible_widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QStringList>

#include "runtime/controls/graph.h"
#include "runtime/controls/led.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/rate_trend.h"

namespace rt {

namespace {

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

  void doAction(const QString &actionName) override {
    if (actionName == pressAction())
      led()->click();
    else
      QAccessibleWidget::doAction(actionName);
  }

private:
  Led *led() const { return static_cast<Led *>(widget()); }
};

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

  // The meter shows what the device reports; nobody sets it from outside.
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

// A leaf: the chart view inside and its scroll bars mean nothing to a
// listener; the summary tells what the graph shows.
class AccessibleGraph : public QAccessibleWidget {
public:
  explicit AccessibleGraph(Graph *graph) : QAccessibleWidget(graph, QAccessible::Chart) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Description)
      return graph()->accessibleSummary();
    QString s = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && s.isEmpty())
      s = graph()->title();
    return s;
  }

  int childCount() const override { return 0; }
  QAccessibleInterface *child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface *) const override { return -1; }
  QAccessibleInterface *childAt(int, int) const override { return nullptr; }

private:
  Graph *graph() const { return static_cast<Graph *>(widget()); }
};

QAccessibleInterface *PaintedControls(const QString &className, QObject *object) {
  if (className == QLatin1String("Led")) {
    if (auto *led = qobject_cast<Led *>(object))
      return new AccessibleLed(led);
  } else if (className == QLatin1String("Meter")) {
    if (auto *meter = qobject_cast<Meter *>(object))
      return new AccessibleMeter(meter);
  } else if (className == QLatin1String("Graph")) {
    if (auto *graph = qobject_cast<Graph *>(object))
      return new AccessibleGraph(graph);
  } else if (className == QLatin1String("RateTrend")) {
    if (auto *trend = qobject_cast<RateTrend *>(object))
      return new QAccessibleWidget(trend, QAccessible::Chart);
  }
  return nullptr;
}

} // namespace

void InstallAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(PaintedControls);
    return true;
  }();
  (void)installed;
}

} // namespace rt
