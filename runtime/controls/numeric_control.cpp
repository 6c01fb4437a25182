#include "runtime/controls/numeric_control.h"

#include <QKeyEvent>

NumericControl::NumericControl(QWidget *parent) : QSpinBox(parent) {
  setKeyboardTracking(true);
  // The spin box also reports an unchanged value (Enter does so while
  // keyboard tracking is on): only real changes count.
  connect(this, &QSpinBox::valueChanged, this, [this](int value) {
    const bool changed = value != knownValue_;
    knownValue_ = value;
    if (changed && !quiet_)
      emit operatorChanged();
  });
  connect(this, &QAbstractSpinBox::editingFinished, this, &NumericControl::onEditingFinished);
}

void NumericControl::setValueQuietly(int value) {
  quiet_ = true;
  setValue(value);
  quiet_ = false;
  committedValue_ = this->value();
}

void NumericControl::setMinimumQuietly(int minimum) {
  quiet_ = true;
  setMinimum(minimum);
  quiet_ = false;
  committedValue_ = value();
}

void NumericControl::setMaximumQuietly(int maximum) {
  quiet_ = true;
  setMaximum(maximum);
  quiet_ = false;
  committedValue_ = value();
}

void NumericControl::markCommitted() {
  committedValue_ = value();
}

void NumericControl::commitPendingEdit() {
  interpretText();
  if (value() != committedValue_)
    commit();
}

void NumericControl::commitValue(int value) {
  setValue(value);
  commit();
}

void NumericControl::enterText(const QString &text) {
  QString candidate = text;
  int position = int(candidate.size());
  if (validate(candidate, position) != QValidator::Acceptable) {
    setValue(committedValue_); // and its text; typing held until now goes, reported if it changed
    return;
  }
  lineEdit()->setText(candidate); // the value follows the text, as it follows typing
  interpretText();                // and the text is written the box's way
  commit();                       // Enter confirms, even an unchanged value
}

bool NumericControl::typeText(const QString &text) {
  QString candidate = text;
  int position = int(candidate.size());
  if (validate(candidate, position) == QValidator::Invalid)
    return false;
  lineEdit()->setText(text);
  return true;
}

void NumericControl::stepBy(int steps) {
  // An arrow, a page key, the wheel or a click on the buttons: the value
  // changes by a step and counts as confirmed at once.
  QSpinBox::stepBy(steps);
  commit();
}

void NumericControl::keyPressEvent(QKeyEvent *event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  confirming_ = enter;
  QSpinBox::keyPressEvent(event); // emits editingFinished on Enter
  confirming_ = false;
}

void NumericControl::onEditingFinished() {
  // Enter always confirms, even an unchanged value; leaving the control only
  // confirms a value edited since the last confirmation.
  if (confirming_ || value() != committedValue_)
    commit();
}

void NumericControl::commit() {
  committedValue_ = value();
  emit committed();
}
