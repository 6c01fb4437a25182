// A ring: a list of labelled choices, each carrying an integer value. The
// values come from the `itemValues` property ("1,0": one per item, in order);
// an item without one carries its index. operatorChanged() follows a change
// of choice by the operator, committed() every choice the operator makes
// (also picking the current item again). selectValue() is the program's way
// and emits neither.
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
  // Chooses the first item carrying `value`; false when none does.
  bool selectValue(int value);

  // Room for the longest item in full: some styles draw item text a little
  // wider than the metrics the combo box measures it with.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  void operatorChanged();
  void committed();

private:
  QString itemValues_;
  bool quiet_ = false;
};
