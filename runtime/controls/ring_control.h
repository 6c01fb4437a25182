// A ring: a list of labelled choices, each carrying an integer value. The
// values come from the `itemValues` property ("1,0": one per item, in order);
// an item without one carries its index. operatorChanged() follows a change
// of choice by the operator, committed() every choice the operator makes
// (also picking the current item again; chooseValue() is assistive
// technology's way). selectValue() is the program's way and emits neither.
#pragma once

#include <QComboBox>
#include <QString>

class RingControl : public QComboBox {
  Q_OBJECT
  Q_PROPERTY(QString itemValues READ itemValues WRITE setItemValues)

public:
  explicit RingControl(QWidget *parent = nullptr);

  QString itemValues() const { return itemValues_; }
  void setItemValues(const QString &values);
  // Applies `itemValues` to the items present (items added after the
  // property was set, as a panel file does, need this once more).
  void applyItemValues();

  // The value of the chosen item; false when nothing is chosen.
  bool currentValue(int *value) const;
  // The value item `index` carries.
  int valueAt(int index) const;
  // Chooses the first item carrying `value`; false when none does.
  bool selectValue(int value);
  // The operator's choice of the first item carrying `value`, as picking it
  // from the list does (from assistive technology): the change reported if
  // it is one, then the commit; false, and nothing, when no item carries it.
  bool chooseValue(int value);

  // Room for the longest item in full: some styles draw item text a little
  // wider than the metrics the combo box measures it with.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  void operatorChanged();
  void committed();

private:
  int indexOfValue(int value) const;

  QString itemValues_;
  bool quiet_ = false;
};
