// A ring (RingControl): labelled choices, each carrying a number; a change
// of choice is reported as changed, every choice the operator makes
// (mouse, keys, assistive technology) as committed.
#include <QObject>

#include "runtime/controls/ring_control.h"
#include "runtime/panel/kinds/accessible_choice.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class AccessibleRing final : public AccessibleChoice {
public:
  explicit AccessibleRing(RingControl *ring) : AccessibleChoice(ring) {}

protected:
  bool chosen(int *value) const override { return ring()->currentValue(value); }
  std::vector<int> values() const override {
    std::vector<int> all;
    for (int i = 0; i < ring()->count(); ++i)
      all.push_back(ring()->valueAt(i));
    return all;
  }
  void choose(int value) override { ring()->chooseValue(value); }

private:
  RingControl *ring() const { return static_cast<RingControl *>(box()); }
};

class Ring final : public NoText<NoOwnAttributes<KindFor<RingControl>>> {
public:
  QWidget *create(QWidget *parent) const override { return new RingControl(parent); }

  bool sends(int event) const override {
    return event == EVENT_VAL_CHANGED || event == EVENT_COMMIT;
  }
  void bind(ControlEntry &control, PanelEntry &, RaiseEvent raise) const override {
    RingControl &ring = Of(control.widget);
    ring.applyItemValues(); // the items came after the property
    QObject::connect(&ring, &RingControl::operatorChanged, &ring,
                     [raise] { raise(EVENT_VAL_CHANGED); });
    QObject::connect(&ring, &RingControl::committed, &ring, [raise] { raise(EVENT_COMMIT); });
  }
  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new AccessibleRing(&Of(widget));
  }
  bool isPress() const override { return false; }

  int value(const QWidget *widget, int *value) const override {
    return Of(widget).currentValue(value) ? 0 : UIE_BAD_VALUE;
  }
  int setValue(QWidget *widget, int value) const override {
    return Of(widget).selectValue(value) ? 0 : UIE_BAD_VALUE;
  }
};

} // namespace

const ControlKind &RingKind() {
  static const Ring kind;
  return kind;
}

} // namespace rt
