#include "runtime/panel/kinds/accessible_choice.h"

#include <QAbstractItemView>
#include <QLineEdit>

#include <algorithm>
#include <limits>

#include "runtime/panel/kinds/assistant_number.h"

namespace rt {

AccessibleChoice::AccessibleChoice(QComboBox *box)
    : QAccessibleWidget(box, QAccessible::ComboBox) {}

void *AccessibleChoice::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ValueInterface)
    return static_cast<QAccessibleValueInterface *>(this);
  return QAccessibleWidget::interface_cast(type);
}

int AccessibleChoice::childCount() const {
  return box()->isEditable() ? 2 : 1;
}

QAccessibleInterface *AccessibleChoice::child(int index) const {
  if (index == 0)
    return QAccessible::queryAccessibleInterface(box()->view());
  if (index == 1 && box()->isEditable())
    return QAccessible::queryAccessibleInterface(box()->lineEdit());
  return nullptr;
}

int AccessibleChoice::indexOfChild(const QAccessibleInterface *child) const {
  if (child->object() == box()->view())
    return 0;
  if (box()->isEditable() && child->object() == box()->lineEdit())
    return 1;
  return -1;
}

QAccessibleInterface *AccessibleChoice::childAt(int x, int y) const {
  if (box()->isEditable() && box()->lineEdit()->rect().contains(x, y))
    return child(1);
  return nullptr;
}

QString AccessibleChoice::text(QAccessible::Text t) const {
  QString s;
  // As Qt's combo box has it: on Linux the name is told by the label's
  // relation, and the text read for it is the choice.
  if (t == QAccessible::Value
#ifdef Q_OS_UNIX
      || t == QAccessible::Name
#endif
  )
    s = box()->isEditable() ? box()->lineEdit()->text() : box()->currentText();
  return s.isEmpty() ? QAccessibleWidget::text(t) : s;
}

QAccessible::State AccessibleChoice::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.expandable = true;
  s.expanded = box()->view()->isVisible();
  s.editable = box()->isEditable();
  return s;
}

QStringList AccessibleChoice::actionNames() const {
  return {showMenuAction(), pressAction()};
}

void AccessibleChoice::doAction(const QString &actionName) {
  if (actionName != showMenuAction() && actionName != pressAction())
    return;
  if (box()->view()->isVisible())
    box()->hidePopup();
  else
    box()->showPopup();
}

QVariant AccessibleChoice::currentValue() const {
  int value = 0;
  return chosen(&value) ? QVariant(value) : QVariant();
}

void AccessibleChoice::setCurrentValue(const QVariant &value) {
  // A number carried by no item chooses nothing.
  int v = 0;
  if (box()->isEnabled() &&
      AssistantNumber(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), &v))
    choose(v);
}

QVariant AccessibleChoice::minimumValue() const {
  const std::vector<int> all = values();
  return all.empty() ? QVariant() : QVariant(*std::min_element(all.begin(), all.end()));
}

QVariant AccessibleChoice::maximumValue() const {
  const std::vector<int> all = values();
  return all.empty() ? QVariant() : QVariant(*std::max_element(all.begin(), all.end()));
}

} // namespace rt
