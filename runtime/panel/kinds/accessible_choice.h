// A list of choices (a ring, the port choice) as assistive technology sees
// it: a combo box whose children are its list and, when editable, its text
// field, whose value text is the chosen item's, and whose action opens or
// closes the list, as Qt shows a combo box; and a value interface, which Qt's
// lacks, whose value is the chosen item's number and whose setting is the
// operator's choice of the item carrying it. The kinds say what a choice
// raises (kinds/ring_kind.cpp, kinds/port_selector_kind.cpp).
#pragma once

#include <QAccessibleWidget>
#include <QComboBox>

#include <vector>

namespace rt {

class AccessibleChoice : public QAccessibleWidget, public QAccessibleValueInterface {
public:
  explicit AccessibleChoice(QComboBox *box);

  void *interface_cast(QAccessible::InterfaceType type) override;
  int childCount() const override;
  QAccessibleInterface *child(int index) const override;
  int indexOfChild(const QAccessibleInterface *child) const override;
  QAccessibleInterface *childAt(int x, int y) const override;
  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString &actionName) override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant &value) override;
  QVariant minimumValue() const override;
  QVariant maximumValue() const override;
  QVariant minimumStepSize() const override { return 1; }

protected:
  QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
  // The chosen item's number; false when nothing is chosen.
  virtual bool chosen(int *value) const = 0;
  // Every item's number.
  virtual std::vector<int> values() const = 0;
  // The operator chooses the item carrying `value`.
  virtual void choose(int value) = 0;
};

} // namespace rt
