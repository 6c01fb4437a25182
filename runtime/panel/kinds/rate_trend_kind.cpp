// A strip chart of readings (RateTrend): it follows the meter its `meter`
// property names, plotting every reading the program gives that meter. It
// sends nothing and has no value of its own; assistive technology sees a
// chart whose description sums up the last minute.
#include <QAccessibleWidget>

#include "runtime/controls/meter.h"
#include "runtime/controls/rate_trend.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class Trend final : public NoText<NoOwnAttributes<NoValue<KindFor<RateTrend>>>> {
public:
  QWidget *create(QWidget *parent) const override { return new RateTrend(parent); }

  bool sends(int) const override { return false; }
  void bind(ControlEntry &control, PanelEntry &panel, RaiseEvent) const override {
    RateTrend &trend = Of(control.widget);
    if (panel.window)
      trend.follow(panel.window->findChild<Meter *>(trend.meterName()));
  }
  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new QAccessibleWidget(widget, QAccessible::Chart);
  }
  bool isPress() const override { return false; }
};

} // namespace

const ControlKind &RateTrendKind() {
  static const Trend kind;
  return kind;
}

} // namespace rt
