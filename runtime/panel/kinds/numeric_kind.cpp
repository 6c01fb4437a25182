// A number box (NumericControl): a value the operator types, steps or sets
// from assistive technology, reported as changed while it changes and as
// committed when confirmed; a range the program sets.
#include <QAccessibleWidget>
#include <QObject>

#include "runtime/controls/numeric_control.h"
#include "runtime/panel/kinds/assistant_number.h"
#include "runtime/panel/kinds/field_text.h"
#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

// A spin box as Qt shows one, whose value, set by assistive technology, is
// the operator's: confirmed at once, as typing it and Enter are. Its text
// reads and edits as its field's: the whole text replaced is typing it and
// Enter too; a part inserted or deleted is typing, held until confirmed,
// which happens at the latest before another control's event (HoldEdit). A
// dimmed box takes no value, as it takes no typing.
class AccessibleNumeric : public QAccessibleWidget, public QAccessibleValueInterface {
public:
  explicit AccessibleNumeric(NumericControl *box)
      : QAccessibleWidget(box, QAccessible::SpinBox),
        field_(box->editor(), [box](const QString &text, bool whole) {
          if (whole)
            box->enterText(text);
          else if (box->typeText(text))
            HoldEdit(box);
        }) {}

  void *interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface)
      return static_cast<QAccessibleValueInterface *>(this);
    if (type == QAccessible::TextInterface)
      return static_cast<QAccessibleTextInterface *>(&field_);
    if (type == QAccessible::EditableTextInterface)
      return static_cast<QAccessibleEditableTextInterface *>(&field_);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override { return box()->value(); }
  void setCurrentValue(const QVariant &value) override {
    int v = 0;
    if (box()->isEnabled() && AssistantNumber(value, box()->minimum(), box()->maximum(), &v))
      box()->commitValue(v);
  }
  QVariant minimumValue() const override { return box()->minimum(); }
  QVariant maximumValue() const override { return box()->maximum(); }
  QVariant minimumStepSize() const override { return box()->singleStep(); }

private:
  NumericControl *box() const { return static_cast<NumericControl *>(widget()); }

  FieldText field_;
};

class Numeric final : public NoText<KindFor<NumericControl>> {
public:
  QWidget *create(QWidget *parent) const override { return new NumericControl(parent); }

  bool sends(int event) const override {
    return event == EVENT_VAL_CHANGED || event == EVENT_COMMIT;
  }
  void bind(ControlEntry &control, PanelEntry &, RaiseEvent raise) const override {
    NumericControl &box = Of(control.widget);
    box.markCommitted(); // the value the panel file gives counts as confirmed
    QObject::connect(&box, &NumericControl::operatorChanged, &box,
                     [raise] { raise(EVENT_VAL_CHANGED); });
    QObject::connect(&box, &NumericControl::committed, &box, [raise] { raise(EVENT_COMMIT); });
  }
  QAccessibleInterface *accessible(QWidget *widget) const override {
    return new AccessibleNumeric(&Of(widget));
  }
  bool isPress() const override { return false; }

  int value(const QWidget *widget, int *value) const override {
    *value = Of(widget).value();
    return 0;
  }
  int setValue(QWidget *widget, int value) const override {
    Of(widget).setValueQuietly(value); // clamped to the range, as the box does
    return 0;
  }
  bool takes(int attribute) const override {
    return attribute == ATTR_MAX_VALUE || attribute == ATTR_MIN_VALUE;
  }
  int setAttribute(QWidget *widget, int attribute, double value) const override {
    NumericControl &box = Of(widget);
    const int limit = static_cast<int>(value);
    attribute == ATTR_MAX_VALUE ? box.setMaximumQuietly(limit) : box.setMinimumQuietly(limit);
    return 0;
  }

  void commitPendingEdit(QWidget *widget) const override { Of(widget).commitPendingEdit(); }
};

} // namespace

const ControlKind &NumericKind() {
  static const Numeric kind;
  return kind;
}

} // namespace rt
