// A numeric input control. It tells apart what the operator does from what
// the program does: operatorChanged() follows every change the operator makes
// (typing, arrows, wheel), committed() follows every value the operator
// confirms (Enter, a step, leaving the control after editing it, a value or a
// whole text set through assistive technology). Values the program sets go
// through the *Quietly functions and emit neither.
#pragma once

#include <QLineEdit>
#include <QSpinBox>

class NumericControl : public QSpinBox {
  Q_OBJECT

public:
  explicit NumericControl(QWidget *parent = nullptr);

  // Clamped to the range, like the spin box does.
  void setValueQuietly(int value);
  void setMinimumQuietly(int minimum);
  void setMaximumQuietly(int maximum);

  // The current value counts as confirmed: leaving the control does not
  // commit it again.
  void markCommitted();
  // Commits a value typed but not yet confirmed (the operator moved on).
  void commitPendingEdit();
  // The operator's value, confirmed at once, as typing it and Enter do (from
  // assistive technology): clamped to the range, the change reported if it
  // is one, then the commit.
  void commitValue(int value);

  // The whole text replaced (from assistive technology), taken as typing it
  // and Enter would be: text that reads as a value in the range is committed;
  // any other is refused, as the keys refuse it, and the box shows its
  // confirmed value again.
  void enterText(const QString &text);
  // Part of the text edited (from assistive technology), taken as typing:
  // text no typing could lead to a value is refused (false); the rest is
  // shown and held, like typed text, until confirmed (commitPendingEdit).
  bool typeText(const QString &text);

  // The line edit that holds the text.
  QLineEdit *editor() const { return lineEdit(); }

signals:
  void operatorChanged();
  void committed();

protected:
  void stepBy(int steps) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  void onEditingFinished();
  void commit();

  bool quiet_ = false;
  bool confirming_ = false;
  int committedValue_ = 0;
  int knownValue_ = 0; // the value last reported or set
};
