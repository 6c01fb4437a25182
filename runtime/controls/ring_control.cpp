#include "runtime/controls/ring_control.h"

#include "runtime/console/panel_file.h"

RingControl::RingControl(QWidget *parent) : QComboBox(parent) {
  setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    if (!quiet_)
      emit operatorChanged();
  });
  connect(this, &QComboBox::activated, this, [this] { emit committed(); });
}

void RingControl::setItemValues(const QString &values) {
  itemValues_ = values;
  applyItemValues();
}

void RingControl::applyItemValues() {
  // The rule the limits read from the panel file follow too.
  const QList<int> values = rt::RingItemValues(itemValues_, count());
  for (int i = 0; i < count(); ++i)
    setItemData(i, values.at(i));
}

bool RingControl::currentValue(int *value) const {
  const int index = currentIndex();
  if (index < 0)
    return false;
  *value = valueAt(index);
  return true;
}

int RingControl::valueAt(int index) const {
  bool ok = false;
  const int v = itemData(index).toInt(&ok);
  return ok ? v : index;
}

int RingControl::indexOfValue(int value) const {
  for (int i = 0; i < count(); ++i)
    if (valueAt(i) == value)
      return i;
  return -1;
}

bool RingControl::selectValue(int value) {
  const int index = indexOfValue(value);
  if (index < 0)
    return false;
  quiet_ = true;
  setCurrentIndex(index);
  quiet_ = false;
  return true;
}

bool RingControl::chooseValue(int value) {
  const int index = indexOfValue(value);
  if (index < 0)
    return false;
  setCurrentIndex(index);
  emit committed();
  return true;
}

QSize RingControl::sizeHint() const {
  return QComboBox::sizeHint() + QSize(fontMetrics().height(), 0);
}

QSize RingControl::minimumSizeHint() const {
  return QComboBox::minimumSizeHint() + QSize(fontMetrics().height(), 0);
}
