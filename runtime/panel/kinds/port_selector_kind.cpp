// The port choice (PortSelector): its value is the chosen port's number; a
// change of port, by the mouse, the keys, a typed path or assistive
// technology, is reported as changed. While a built-in device is chosen, the
// widget its `builtInNotice` property names is shown.
#include <QLineEdit>
#include <QObject>

#include "runtime/controls/port_selector.h"
#include "runtime/panel/kinds/accessible_choice.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

class AccessiblePortChoice final : public AccessibleChoice {
public:
  explicit AccessiblePortChoice(PortSelector *selector) : AccessibleChoice(selector) {}

protected:
  bool chosen(int *value) const override {
    *value = selector()->currentPort();
    return selector()->currentIndex() >= 0;
  }
  std::vector<int> values() const override {
    std::vector<int> all;
    for (int i = 0; i < selector()->count(); ++i)
      all.push_back(selector()->portAt(i));
    return all;
  }
  void choose(int value) override { selector()->choosePort(value); }

private:
  PortSelector *selector() const { return static_cast<PortSelector *>(box()); }
};

// The operator never takes the demo device for hardware.
void ShowBuiltInNotice(PanelEntry &panel, PortSelector &selector) {
  const QString name = selector.property("builtInNotice").toString();
  QWidget *notice =
      name.isEmpty() || !panel.window ? nullptr : panel.window->findChild<QWidget *>(name);
  if (!notice)
    return;
  auto follow = [&selector, notice] { notice->setVisible(selector.currentIsBuiltIn()); };
  QObject::connect(&selector, &QComboBox::currentIndexChanged, notice, follow);
  follow();
}

class Port final : public NoText<NoOwnAttributes<KindFor<PortSelector>>> {
public:
  QWidget *create(QWidget *parent) const override { return new PortSelector(parent); }

  bool sends(int event) const override { return event == EVENT_VAL_CHANGED; }
  void bind(ControlEntry &control, PanelEntry &panel, RaiseEvent raise) const override {
    PortSelector &selector = Of(control.widget);
    selector.chooseInitialPort();
    if (selector.lineEdit())
      selector.lineEdit()->setAccessibleName(selector.accessibleName());
    QObject::connect(&selector, &PortSelector::choiceChanged, &selector,
                     [raise] { raise(EVENT_VAL_CHANGED); });
    ShowBuiltInNotice(panel, selector);
  }
  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new AccessiblePortChoice(&Of(widget));
  }
  bool isPress() const override { return false; }

  int value(const QWidget *widget, int *value) const override {
    *value = Of(widget).currentPort(); // 0: no port to choose from
    return 0;
  }
  int setValue(QWidget *widget, int value) const override {
    return Of(widget).selectPort(value) ? 0 : UIE_BAD_VALUE;
  }
};

} // namespace

const ControlKind &PortSelectorKind() {
  static const Port kind;
  return kind;
}

} // namespace rt
